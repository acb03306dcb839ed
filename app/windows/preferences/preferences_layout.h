// The preferences window's layout and codes.
#pragma once

#include "app/framework/framework_codes.h"

namespace preferences {

inline constexpr int kLayout = 2400;
inline constexpr ClassIDT kWindowClass = MakeFourCharCode("TWLP");

// The switches broadcast their commands; the button opens the log folder.
inline constexpr PaneIDT kGenerateLog = MakeFourCharCode("GLOG");
inline constexpr PaneIDT kAllowSecondaryDomains = MakeFourCharCode("ASCD");
inline constexpr PaneIDT kGrabOffsiteURLs = MakeFourCharCode("GOFF");
inline constexpr PaneIDT kURLsFromDisk = MakeFourCharCode("LDSK");
inline constexpr PaneIDT kOpenLogFolder = MakeFourCharCode("OLOG");

void RegisterPreferencesLayout();

}  // namespace preferences
