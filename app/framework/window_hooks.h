// How the application reaches window families that live in other libraries
// (the quicker grabber, the grabber) without depending on them: each family
// registers its hooks at start-up.
//
// The quicker grabber's library provides, in
// "app/windows/quicker_grabber/register_quicker_grabber.h", a function
// `void RegisterQuickerGrabber();` that registers its classes and layouts and
// calls SetQuickerGrabberOpener and AddGrabWindowFamily; the executable calls
// it when the header exists.
#pragma once

#include <functional>
#include <cstdint>
#include <string>

class CCommander;
class CWindow;

// One quick grab request: every outside URL ends in one.
struct SQuickGrabRequest {
    std::string url;                            // the start URL text ("" for none)
    bool onePage = false;                       // "Download One Page" mode
    bool mediaLayout = false;                   // the media grabber's layout (2111)
};

// Builds, fills in and shows a quicker grabber; returns it, or null when it
// could not be made (it may also raise 'nilP').
using QuickerGrabberOpener = std::function<CWindow*(const SQuickGrabRequest& request, CCommander* super)>;
void SetQuickerGrabberOpener(QuickerGrabberOpener opener);
bool HasQuickerGrabberOpener();
// Null when no opener is registered or it made nothing.
CWindow* OpenQuickerGrabber(const SQuickGrabRequest& request, CCommander* super);

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
