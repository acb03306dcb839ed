// The update window's layout and codes.
#pragma once

#include "app/framework/framework_codes.h"

namespace updatewindow {

inline constexpr int kLayout = 2130;
inline constexpr ClassIDT kWindowClass = MakeFourCharCode("UDTE");

inline constexpr PaneIDT kStart = MakeFourCharCode("STRT");
inline constexpr PaneIDT kStop = MakeFourCharCode("STOP");
inline constexpr PaneIDT kChooseFolder = MakeFourCharCode("CFol");
inline constexpr PaneIDT kText = MakeFourCharCode("Text");
inline constexpr PaneIDT kFolder = MakeFourCharCode("DIRE");
inline constexpr PaneIDT kHelp = MakeFourCharCode("HELP");
inline constexpr PaneIDT kSpin = MakeFourCharCode("SPIN");

// A line for the log pane; the parameter is a const std::string*.
inline constexpr MessageT kMsgLogLine = MakeFourCharCode("MSG ");

void RegisterUpdateLayout();

}  // namespace updatewindow
