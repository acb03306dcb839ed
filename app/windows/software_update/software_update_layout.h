// The layouts and codes of the version check's small windows.
#pragma once

#include "app/framework/framework_codes.h"

namespace softwareupdate {

inline constexpr int kCheckingLayout = 2140;
inline constexpr int kDownloadLayout = 2141;
inline constexpr int kAvailableLayout = 2142;
inline constexpr int kFailedLayout = 2143;
inline constexpr int kResultLayout = 2144;
inline constexpr int kUpToDateLayout = 2145;

inline constexpr ClassIDT kCheckingClass = MakeFourCharCode("SUck");
inline constexpr ClassIDT kDownloadClass = MakeFourCharCode("SUdl");
inline constexpr ClassIDT kAvailableClass = MakeFourCharCode("SUav");
inline constexpr ClassIDT kFailedClass = MakeFourCharCode("SUfl");
inline constexpr ClassIDT kResultClass = MakeFourCharCode("SUrs");
inline constexpr ClassIDT kUpToDateClass = MakeFourCharCode("SUok");

// The progress bar of the download window and the text of the result window.
inline constexpr PaneIDT kProgressOrResult = MakeFourCharCode("LTNC");
inline constexpr PaneIDT kMessage = MakeFourCharCode("Mesg");
inline constexpr PaneIDT kOK = MakeFourCharCode("ok  ");
inline constexpr PaneIDT kYes = MakeFourCharCode("yes ");
inline constexpr PaneIDT kNo = MakeFourCharCode("no  ");
inline constexpr PaneIDT kSave = MakeFourCharCode("SAVE");
inline constexpr PaneIDT kCancelDownload = MakeFourCharCode("not!");

void RegisterSoftwareUpdateLayouts();

}  // namespace softwareupdate
