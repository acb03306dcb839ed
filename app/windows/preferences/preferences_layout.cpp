#include "app/windows/preferences/preferences_layout.h"

#include <array>

#include "app/framework/class_registrar.h"
#include "app/framework/layout.h"

namespace preferences {

namespace {

constexpr auto kPanes = std::to_array<SPaneSpec>({
    SPaneSpec{.id = kGenerateLog, .classID = kClassCheckBox, .cell = {0, 0, 1, 2}, .caption = "Generate a log file",
              .helpTag = "Write every grab's progress into a log file", .maxValue = 1},
    SPaneSpec{.id = kAllowSecondaryDomains, .classID = kClassCheckBox, .cell = {1, 0, 1, 2},
              .caption = "Allow secondary domains",
              .helpTag = "Treat other hosts of the start URL's domain as the same site", .maxValue = 1},
    SPaneSpec{.id = kGrabOffsiteURLs, .classID = kClassCheckBox, .cell = {2, 0, 1, 2},
              .caption = "Grab offsite URLs", .helpTag = "Also grab resources that other sites serve",
              .maxValue = 1},
    SPaneSpec{.id = kURLsFromDisk, .classID = kClassCheckBox, .cell = {3, 0, 1, 2},
              .caption = "Load URLs from disk", .helpTag = "Use files already downloaded instead of fetching them again",
              .maxValue = 1},
    SPaneSpec{.id = kOpenLogFolder, .classID = kClassPushButton, .cell = {4, 1}, .caption = "Open Log Folder",
              .helpTag = "Open the folder that holds the log file"},
});

constexpr SLayout kPreferencesLayout{.number = kLayout, .windowClass = kWindowClass, .title = "Preferences",
                                     .panes = kPanes};

}  // namespace

void RegisterPreferencesLayout()
{
    CLayoutTable::Register(kPreferencesLayout);
}

}  // namespace preferences
