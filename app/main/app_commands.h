// The application's commands (menu items) and the help pages behind them.
#pragma once

#include <string>

#include "app/framework/framework_codes.h"
// The commands of the search, configurations and version-check windows come
// from their own libraries: kCmdSearchFiles, kCmdShowConfigurations,
// kCmdCheckForUpdates.
#include "app/windows/configurations/open_configurations.h"
#include "app/windows/search/open_search.h"
#include "app/windows/software_update/open_software_update.h"

inline constexpr CommandT kCmdQuickGrab = MakeCommand("GrbQ");
// The quicker grabber's other two layouts: one page, and the media grabber.
inline constexpr CommandT kCmdDownloadOnePage = MakeCommand("GrbP");
inline constexpr CommandT kCmdGrabMedia = MakeCommand("GrbM");
inline constexpr CommandT kCmdPrefsCarbon = MakeCommand("pref");
inline constexpr CommandT kCmdWebsite = MakeCommand("WEB1");
inline constexpr CommandT kCmdSupportMail = MakeCommand("MAIL");
inline constexpr CommandT kCmdVersionHistory = MakeCommand("Note");
inline constexpr CommandT kCmdReadMe = MakeCommand("RdMe");
inline constexpr CommandT kCmdWindowHelp = MakeCommand("HELP");

inline constexpr const char* kProductPageURL = "https://www.farrowby.com/tidewell/";
inline constexpr const char* kSupportMailAddress = "tidewell-support@farrowby.com";

// The help page of a window, by its saved-state name ("Grab Quick Window"),
// as a path in the resources' help folder; the index page for other names.
std::string HelpPageForWindow(const std::string& windowName);
// A resource file's path ("Read Me Please.html").
std::string ResourcePath(const std::string& name);
// "mailto:" with the support address and a subject naming the version.
std::string SupportMailURL(const std::string& version);
