#include "app/windows/software_update/software_update_layout.h"

#include <array>

#include "app/framework/class_registrar.h"
#include "app/framework/layout.h"

namespace softwareupdate {

namespace {

constexpr SPaneSpec Text(PaneIDT id, const char* caption)
{
    return SPaneSpec{.id = id, .classID = kClassCaption, .cell = {0, 0, 1, 3}, .caption = caption, .widthChars = 48,
                     .stretch = true};
}

constexpr SPaneSpec Button(PaneIDT id, int column, const char* title)
{
    return SPaneSpec{.id = id, .classID = kClassPushButton, .cell = {2, column}, .caption = title};
}

constexpr auto kCheckingPanes = std::to_array<SPaneSpec>({
    Text(kMessage, "Checking for a newer version of Tidewell\xE2\x80\xA6"),
    SPaneSpec{.classID = kClassChasingArrows, .cell = {1, 0, 1, 3}},
});
constexpr auto kDownloadPanes = std::to_array<SPaneSpec>({
    Text(kMessage, "Downloading the update\xE2\x80\xA6"),
    // No range until the size is known: the bar shows that it is busy.
    SPaneSpec{.id = kProgressOrResult, .classID = kClassProgressBar, .cell = {1, 0, 1, 3}},
    Button(kCancelDownload, 2, "Cancel"),
});
constexpr auto kAvailablePanes = std::to_array<SPaneSpec>({
    Text(kMessage, "A newer version of Tidewell is available. Would you like to download it?"),
    Button(kSave, 0, "Save Release Notes\xE2\x80\xA6"),
    Button(kNo, 1, "Not Now"),
    Button(kYes, 2, "Download"),
});
constexpr auto kFailedPanes = std::to_array<SPaneSpec>({
    Text(kMessage, "The check for a newer version of Tidewell failed. Please try again later."),
    Button(kOK, 2, "OK"),
});
constexpr auto kResultPanes = std::to_array<SPaneSpec>({
    Text(kProgressOrResult, ""),
    Button(kOK, 2, "OK"),
});
constexpr auto kUpToDatePanes = std::to_array<SPaneSpec>({
    Text(kMessage, "This version of Tidewell is up to date."),
    Button(kOK, 2, "OK"),
});

constexpr SLayout kLayouts[] = {
    {.number = kCheckingLayout, .windowClass = kCheckingClass, .title = "Software Update", .panes = kCheckingPanes},
    {.number = kDownloadLayout, .windowClass = kDownloadClass, .title = "Downloading Update", .panes = kDownloadPanes},
    {.number = kAvailableLayout, .windowClass = kAvailableClass, .title = "Update Available",
     .panes = kAvailablePanes},
    {.number = kFailedLayout, .windowClass = kFailedClass, .title = "Software Update", .panes = kFailedPanes},
    {.number = kResultLayout, .windowClass = kResultClass, .title = "Software Update", .panes = kResultPanes},
    {.number = kUpToDateLayout, .windowClass = kUpToDateClass, .title = "Software Update", .panes = kUpToDatePanes},
};

}  // namespace

void RegisterSoftwareUpdateLayouts()
{
    for (const SLayout& layout : kLayouts) CLayoutTable::Register(layout);
}

}  // namespace softwareupdate
