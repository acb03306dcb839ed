// How the application reaches window families that live in other libraries
// (the quicker grabber, the grabber) without depending on them: each family
// registers its commands and its quit check at start-up.
#pragma once

#include <functional>
#include <cstdint>
#include <string>

// Application commands served by windows of other libraries (the search
// window's 'SRch', the preferences' kCmdPreferences, the version check's
// 'UPDT'). The application enables such a command only while a handler is
// registered.
// Returns the handler it replaces (empty when none was registered).
std::function<void()> SetApplicationCommandHandler(std::uint32_t command, std::function<void()> handler);
// False when no handler is registered for the command.
bool RunApplicationCommandHandler(std::uint32_t command);
bool HasApplicationCommandHandler(std::uint32_t command);

// A family of windows that run grabs, for the quit check.
struct SGrabWindowFamily {
    std::string name;
    std::function<bool()> isAnyRunning;  // running or paused
    std::function<void()> closeAll;      // each waits for its own crawl to end
};
// Asked in the order added (the quicker grabbers first).
void AddGrabWindowFamily(SGrabWindowFamily family);
bool IsAnyGrabRunning();
// Closes every family's windows, the last added first.
void CloseAllGrabWindows();
void ClearGrabWindowFamilies();
