#include <array>

#include "app/framework/class_registrar.h"
#include "app/framework/layout.h"
#include "app/windows/search/hier_outline_table.h"
#include "app/windows/search/search_panes.h"
#include "app/windows/widgets/heading_table.h"
#include "app/windows/widgets/radio_group.h"
#include "app/windows/widgets/resizable_heading.h"
#include "app/windows/widgets/resizer_tracker_view.h"
#include "app/windows/widgets/widget_panes.h"

namespace searchwindow {

namespace {

constexpr PaneIDT kTop = MakeFourCharCode("Top ");
constexpr PaneIDT kOptions = MakeFourCharCode("Opts");
constexpr PaneIDT kStatus = MakeFourCharCode("Stts");

// The query and the folder on top, the options below them, the results in
// the middle (taking the spare room) and the counts at the bottom.
constexpr auto kPanes = std::to_array<SPaneSpec>({
    SPaneSpec{.id = kTop, .classID = kClassView, .cell = {0, 0}},
    SPaneSpec{.classID = kClassCaption, .superID = kTop, .cell = {0, 0}, .caption = "Search for:"},
    SPaneSpec{.id = kQuery, .classID = kClassEditField, .superID = kTop, .cell = {0, 1}, .widthChars = 40,
              .stretch = true},
    SPaneSpec{.id = kSearchButton, .classID = kClassPushButton, .superID = kTop, .cell = {0, 2}, .caption = "Search"},
    SPaneSpec{.id = kArrows, .classID = kClassChasingArrows, .superID = kTop, .cell = {0, 3}, .widthChars = 4,
              .visible = false},
    SPaneSpec{.classID = kClassCaption, .superID = kTop, .cell = {1, 0}, .caption = "In folder:"},
    SPaneSpec{.id = kFolderField, .classID = kClassDDTextField, .superID = kTop, .cell = {1, 1}, .widthChars = 40},
    SPaneSpec{.id = kChooseFolder, .classID = kClassPushButton, .superID = kTop, .cell = {1, 2}, .caption = "Choose…"},
    SPaneSpec{.id = kHelp, .classID = kClassPushButton, .superID = kTop, .cell = {1, 3}},
    SPaneSpec{.id = kOptions, .classID = kClassView, .cell = {1, 0}},
    SPaneSpec{.id = kCaseGroup, .classID = kClassRadioGroup, .superID = kOptions, .cell = {0, 0},
              .caption = "Match case"},
    SPaneSpec{.id = kMatchCase, .classID = kClassRadioButton, .superID = kCaseGroup, .cell = {0, 0}, .caption = "Yes"},
    SPaneSpec{.id = kIgnoreCase, .classID = kClassRadioButton, .superID = kCaseGroup, .cell = {0, 1}, .caption = "No",
              .value = 1},
    SPaneSpec{.id = kAllAnyGroup, .classID = kClassRadioGroup, .superID = kOptions, .cell = {0, 1},
              .caption = "All terms"},
    SPaneSpec{.id = kAllTerms, .classID = kClassRadioButton, .superID = kAllAnyGroup, .cell = {0, 0}, .caption = "Yes",
              .value = 1},
    SPaneSpec{.id = kAnyTerm, .classID = kClassRadioButton, .superID = kAllAnyGroup, .cell = {0, 1}, .caption = "No"},
    SPaneSpec{.id = kWholeGroup, .classID = kClassRadioGroup, .superID = kOptions, .cell = {0, 2},
              .caption = "Whole words"},
    SPaneSpec{.id = kWholeWords, .classID = kClassRadioButton, .superID = kWholeGroup, .cell = {0, 0},
              .caption = "Yes", .value = 1},
    SPaneSpec{.id = kSubstrings, .classID = kClassRadioButton, .superID = kWholeGroup, .cell = {0, 1},
              .caption = "No"},
    SPaneSpec{.id = kTracker, .classID = kClassResizerTracker, .cell = {2, 0}, .stretch = true},
    SPaneSpec{.id = kHeading, .classID = kClassResizableHeading, .superID = kTracker, .cell = {0, 0},
              .value = static_cast<std::int32_t>(kResults)},
    SPaneSpec{.id = kResults, .classID = kClassHierOutlineTable, .superID = kTracker, .cell = {1, 0},
              .widthChars = 80, .heightLines = 16, .stretch = true},
    SPaneSpec{.id = kStatus, .classID = kClassView, .cell = {3, 0}},
    SPaneSpec{.id = kFileCaption, .classID = kClassCaption, .superID = kStatus, .cell = {0, 0, 1, 5}, .caption = " "},
    SPaneSpec{.classID = kClassCaption, .superID = kStatus, .cell = {1, 0}, .caption = "Found:"},
    SPaneSpec{.id = kFoundCaption, .classID = kClassCaption, .superID = kStatus, .cell = {1, 1}, .caption = "0",
              .widthChars = 8},
    SPaneSpec{.classID = kClassCaption, .superID = kStatus, .cell = {1, 2}, .caption = "Searched:"},
    SPaneSpec{.id = kSearchedCaption, .classID = kClassCaption, .superID = kStatus, .cell = {1, 3}, .caption = "0",
              .widthChars = 8},
    SPaneSpec{.classID = kClassView, .superID = kStatus, .cell = {1, 4}, .stretch = true},
    SPaneSpec{.id = kProgress, .classID = kClassProgressBar, .superID = kStatus, .cell = {2, 0, 1, 5}, .maxValue = 1,
              .visible = false},
});

constexpr SLayout kSearchLayout{.number = kLayout, .windowClass = kWindowClass, .title = "Search Downloaded Files",
                                .widthChars = 90, .panes = kPanes};

}  // namespace

void RegisterSearchLayouts() { CLayoutTable::Register(kSearchLayout); }

}  // namespace searchwindow
