// The quicker grabber's layouts, dialogs and codes.
#pragma once

#include "app/framework/framework_codes.h"
#include "app/windows/grab_start/grab_start_layout.h"

namespace quickergrabber {

inline constexpr int kLayout = 2110;       // the quicker grabber and "Download One Page"
inline constexpr int kMediaLayout = 2111;  // the media grabber
// The dialogs both grab windows share.
inline constexpr int kCloseDialog = grabstart::kCloseDialog;
inline constexpr int kBadURLDialog = grabstart::kBadURLDialog;
inline constexpr ClassIDT kWindowClass = MakeFourCharCode("QGRB");

inline constexpr PaneIDT kURL = MakeFourCharCode("URL ");
inline constexpr PaneIDT kGrab = MakeFourCharCode("GRAB");
inline constexpr PaneIDT kPause = MakeFourCharCode("PAUS");
inline constexpr PaneIDT kSpin = MakeFourCharCode("SPIN");
inline constexpr PaneIDT kTask = MakeFourCharCode("Task");
inline constexpr PaneIDT kMess = MakeFourCharCode("Mess");
inline constexpr PaneIDT kByte = MakeFourCharCode("Byte");
inline constexpr PaneIDT kCrnt = MakeFourCharCode("Crnt");
inline constexpr PaneIDT kStay = MakeFourCharCode("Stay");
inline constexpr PaneIDT kFlat = MakeFourCharCode("FLAT");
inline constexpr PaneIDT kSlide = MakeFourCharCode("SLDE");
inline constexpr PaneIDT kOnly = MakeFourCharCode("ONLY");
inline constexpr PaneIDT kMedia = MakeFourCharCode("MDIA");
inline constexpr PaneIDT kRecent = MakeFourCharCode("Rcnt");
inline constexpr PaneIDT kDown = MakeFourCharCode("Down");
inline constexpr PaneIDT kBrowse = MakeFourCharCode("Bwse");
inline constexpr PaneIDT kSiteMap = MakeFourCharCode("SMAP");
inline constexpr PaneIDT kImage = MakeFourCharCode("IMAG");
inline constexpr PaneIDT kProgress = MakeFourCharCode("Prog");
inline constexpr PaneIDT kLevel = MakeFourCharCode("Lvel");

// Messages: the panes' own IDs, and these.
inline constexpr MessageT kMsgStop = MakeFourCharCode("STOP");
inline constexpr MessageT kMsgDone = MakeFourCharCode("DONE");
inline constexpr MessageT kMsgConfigurationsChanged = MakeFourCharCode("UPDT");

// Registers the layouts above and the shared dialogs (the window class is
// registered with them).
void RegisterQuickerGrabberLayouts();

}  // namespace quickergrabber
