#include "app/windows/update/update_layout.h"

#include <array>

#include "app/framework/class_registrar.h"
#include "app/framework/layout.h"
#include "app/windows/widgets/widget_panes.h"

namespace updatewindow {

namespace {

constexpr auto kPanes = std::to_array<SPaneSpec>({
    SPaneSpec{.id = kChooseFolder, .classID = kClassPushButton, .cell = {0, 0}, .caption = "Choose Folder\xE2\x80\xA6",
              .helpTag = "Choose the folder of downloaded files to update"},
    SPaneSpec{.id = kFolder, .classID = kClassCaption, .cell = {0, 1, 1, 5}, .caption = "No folder chosen",
              .widthChars = 40, .stretch = true},
    SPaneSpec{.id = kText, .classID = kClassDirtyText, .cell = {1, 0, 1, 6},
              .helpTag = "Each file of the folder and what its update did", .widthChars = 72, .heightLines = 14,
              .stretch = true},
    SPaneSpec{.id = kHelp, .classID = kClassPushButton, .cell = {2, 0}, .caption = "Help",
              .helpTag = "Help for this window"},
    SPaneSpec{.id = kSpin, .classID = kClassChasingArrows, .cell = {2, 3}, .widthChars = 4, .visible = false},
    SPaneSpec{.id = kStop, .classID = kClassPushButton, .cell = {2, 4}, .caption = "Stop",
              .helpTag = "Stop the update", .enabled = false},
    SPaneSpec{.id = kStart, .classID = kClassPushButton, .cell = {2, 5}, .caption = "Update",
              .helpTag = "Grab every file of the folder again from its URL", .enabled = false},
});

constexpr SLayout kUpdateLayout{.number = kLayout, .windowClass = kWindowClass, .title = "Update Folder",
                                .widthChars = 80, .panes = kPanes};

}  // namespace

void RegisterUpdateLayout() { CLayoutTable::Register(kUpdateLayout); }

}  // namespace updatewindow
