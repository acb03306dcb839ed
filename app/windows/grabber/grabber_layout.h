// The grabber window's layout and codes.
#pragma once

#include "app/framework/framework_codes.h"

namespace grabber {

inline constexpr int kLayout = 2150;
inline constexpr ClassIDT kWindowClass = MakeFourCharCode("GRAB");

inline constexpr PaneIDT kURL = MakeFourCharCode("Url ");
inline constexpr PaneIDT kMenu = MakeFourCharCode("MENU");
inline constexpr PaneIDT kEdit = MakeFourCharCode("EDIT");
inline constexpr PaneIDT kStart = MakeFourCharCode("Star");
inline constexpr PaneIDT kCancel = MakeFourCharCode("CNCL");
inline constexpr PaneIDT kSkip = MakeFourCharCode("SKIP");
inline constexpr PaneIDT kStay = MakeFourCharCode("Stay");
inline constexpr PaneIDT kRecent = MakeFourCharCode("Rcnt");
inline constexpr PaneIDT kDown = MakeFourCharCode("Down");
inline constexpr PaneIDT kBrowse = MakeFourCharCode("Bwse");
inline constexpr PaneIDT kSiteMap = MakeFourCharCode("SMAP");
inline constexpr PaneIDT kSearch = MakeFourCharCode("Srch");
inline constexpr PaneIDT kHelp = MakeFourCharCode("HELP");
inline constexpr PaneIDT kText = MakeFourCharCode("Text");
inline constexpr PaneIDT kTask = MakeFourCharCode("TASK");
inline constexpr PaneIDT kSpin = MakeFourCharCode("SPIN");
inline constexpr PaneIDT kTime = MakeFourCharCode("TIME");
inline constexpr PaneIDT kStartTime = MakeFourCharCode("STIM");
inline constexpr PaneIDT kFinishTime = MakeFourCharCode("FTIM");
inline constexpr PaneIDT kElapsedTime = MakeFourCharCode("ETIM");
inline constexpr PaneIDT kUnauthorized = MakeFourCharCode("UNAU");
inline constexpr PaneIDT kErrors = MakeFourCharCode("ERRO");
inline constexpr PaneIDT kRequests = MakeFourCharCode("REQU");
inline constexpr PaneIDT kBytes = MakeFourCharCode("BYTE");
inline constexpr PaneIDT kCookies = MakeFourCharCode("COOK");
inline constexpr PaneIDT kMails = MakeFourCharCode("MAIL");
inline constexpr PaneIDT kFileName = MakeFourCharCode("HFIL");
inline constexpr PaneIDT kFileSize = MakeFourCharCode("HSIZ");
inline constexpr PaneIDT kFileReceived = MakeFourCharCode("HTRA");
inline constexpr PaneIDT kFileProgress = MakeFourCharCode("HPRO");
inline constexpr PaneIDT kLevel = MakeFourCharCode("LEVE");
inline constexpr PaneIDT kLevelFiles = MakeFourCharCode("LFIL");
inline constexpr PaneIDT kLevelIndex = MakeFourCharCode("CLFI");
inline constexpr PaneIDT kNextLevel = MakeFourCharCode("NXTL");
inline constexpr PaneIDT kLevelProgress = MakeFourCharCode("LPRO");

// Messages and commands besides the panes' own IDs.
inline constexpr MessageT kMsgConfigurationsChanged = MakeFourCharCode("UPDT");
inline constexpr CommandT kCmdConfigurations = MakeCommand("Cnfg");

// The configurations popup: "Default", the configuration files, and this.
inline constexpr const char* kConfigurationsItem = "Configurations\xE2\x80\xA6";

void RegisterGrabberLayout();

}  // namespace grabber
