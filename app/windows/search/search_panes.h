// The search window's layout number, class IDs and panes.
#pragma once

#include "app/framework/framework_codes.h"

namespace searchwindow {

inline constexpr int kLayout = 140;
inline constexpr ClassIDT kWindowClass = MakeFourCharCode("Srch");
inline constexpr const char* kWindowName = "Search Window";

inline constexpr PaneIDT kHeading = MakeFourCharCode("Head");
inline constexpr PaneIDT kTracker = MakeFourCharCode("Trak");
inline constexpr PaneIDT kResults = MakeFourCharCode("SITE");
inline constexpr PaneIDT kSearchButton = MakeFourCharCode("SRCH");
inline constexpr PaneIDT kArrows = MakeFourCharCode("SPIN");
inline constexpr PaneIDT kProgress = MakeFourCharCode("ProG");
inline constexpr PaneIDT kChooseFolder = MakeFourCharCode("CFol");
inline constexpr PaneIDT kQuery = MakeFourCharCode("QURY");
inline constexpr PaneIDT kFolderField = MakeFourCharCode("DIRE");
inline constexpr PaneIDT kFileCaption = MakeFourCharCode("FILE");
inline constexpr PaneIDT kFoundCaption = MakeFourCharCode("NUMF");
inline constexpr PaneIDT kSearchedCaption = MakeFourCharCode("NUMS");
inline constexpr PaneIDT kHelp = MakeFourCharCode("HELP");

// The option groups and their buttons, whose IDs are their values.
inline constexpr PaneIDT kCaseGroup = MakeFourCharCode("CASE");
inline constexpr PaneIDT kAllAnyGroup = MakeFourCharCode("ANOR");
inline constexpr PaneIDT kWholeGroup = MakeFourCharCode("WHOL");
inline constexpr PaneIDT kMatchCase = 30;
inline constexpr PaneIDT kIgnoreCase = 31;
inline constexpr PaneIDT kAllTerms = 40;
inline constexpr PaneIDT kAnyTerm = 41;
inline constexpr PaneIDT kWholeWords = 50;
inline constexpr PaneIDT kSubstrings = 51;

inline constexpr const char* kInvalidFolderText = "An invalid search directory was entered";
inline constexpr const char* kLastFolderPreference = "Last Search Directory";
// The window's help page, within the resources.
inline constexpr const char* kHelpPage = "help/search.html";
inline constexpr const char* kHelpFailure = "The help page for searching could not be opened.";

void RegisterSearchLayouts();

}  // namespace searchwindow
