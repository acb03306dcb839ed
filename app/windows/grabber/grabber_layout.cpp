#include "app/windows/grabber/grabber_layout.h"

#include <array>

#include "app/framework/class_registrar.h"
#include "app/framework/layout.h"
#include "app/windows/widgets/widget_panes.h"

namespace grabber {

namespace {

constexpr PaneIDT kButtons = MakeFourCharCode("Btns");
constexpr PaneIDT kCounters = MakeFourCharCode("Cntr");

constexpr SPaneSpec Label(int row, int column, const char* text)
{
    return SPaneSpec{.classID = kClassCaption, .superID = kCounters, .cell = {row, column}, .caption = text};
}

constexpr SPaneSpec Value(PaneIDT id, int row, int column)
{
    return SPaneSpec{.id = id, .classID = kClassCaption, .superID = kCounters, .cell = {row, column},
                     .widthChars = 10};
}

// The start row, the buttons, the current task, the log and the counters.
constexpr auto kPanes = std::to_array<SPaneSpec>({
    SPaneSpec{.id = kURL, .classID = kClassDDTextField, .cell = {0, 0}, .widthChars = 48, .stretch = true},
    SPaneSpec{.id = kMenu, .classID = kClassPopupMenu, .cell = {0, 1}, .caption = "Default", .value = 1,
              .minValue = 1, .maxValue = 1, .widthChars = 16},
    SPaneSpec{.id = kEdit, .classID = kClassPushButton, .cell = {0, 2}, .caption = "Edit\xE2\x80\xA6"},
    SPaneSpec{.id = kButtons, .classID = kClassView, .cell = {1, 0, 1, 3}},
    SPaneSpec{.id = kStart, .classID = kClassPushButton, .superID = kButtons, .cell = {0, 0}, .caption = "Start"},
    SPaneSpec{.id = kCancel, .classID = kClassPushButton, .superID = kButtons, .cell = {0, 1}, .caption = "Close"},
    SPaneSpec{.id = kSkip, .classID = kClassPushButton, .superID = kButtons, .cell = {0, 2}, .caption = "Skip",
              .enabled = false},
    SPaneSpec{.id = kStay, .classID = kClassCheckBox, .superID = kButtons, .cell = {0, 3},
              .caption = "Stay in folder", .maxValue = 1},
    SPaneSpec{.id = kRecent, .classID = kClassPopupMenu, .superID = kButtons, .cell = {0, 4},
              .caption = "Recent Items", .widthChars = 16},
    SPaneSpec{.id = kDown, .classID = kClassPushButton, .superID = kButtons, .cell = {0, 5}, .caption = "Show Folder"},
    SPaneSpec{.id = kBrowse, .classID = kClassPushButton, .superID = kButtons, .cell = {0, 6}, .caption = "View",
              .enabled = false},
    SPaneSpec{.id = kSiteMap, .classID = kClassPushButton, .superID = kButtons, .cell = {0, 7}, .caption = "Site Map",
              .enabled = false},
    SPaneSpec{.id = kSearch, .classID = kClassPushButton, .superID = kButtons, .cell = {0, 8}, .caption = "Search"},
    SPaneSpec{.id = kHelp, .classID = kClassPushButton, .superID = kButtons, .cell = {0, 9}, .caption = "Help"},
    SPaneSpec{.id = kSpin, .classID = kClassChasingArrows, .superID = kButtons, .cell = {0, 10}, .widthChars = 4,
              .visible = false},
    SPaneSpec{.id = kTask, .classID = kClassCaption, .cell = {2, 0, 1, 3}, .caption = "Idle"},
    SPaneSpec{.id = kText, .classID = kClassDirtyText, .cell = {3, 0, 1, 3}, .widthChars = 80, .heightLines = 16,
              .stretch = true},
    SPaneSpec{.id = kCounters, .classID = kClassView, .cell = {4, 0, 1, 3}},
    Label(0, 0, "Time:"), Value(kTime, 0, 1),
    Label(1, 0, "Started:"), Value(kStartTime, 1, 1),
    Label(2, 0, "Finished:"), Value(kFinishTime, 2, 1),
    Label(3, 0, "Elapsed:"), Value(kElapsedTime, 3, 1),
    Label(0, 2, "Requests:"), Value(kRequests, 0, 3),
    Label(1, 2, "Errors:"), Value(kErrors, 1, 3),
    Label(2, 2, "Authorizations:"), Value(kUnauthorized, 2, 3),
    Label(3, 2, "Bytes:"), Value(kBytes, 3, 3),
    Label(0, 4, "Cookies:"), Value(kCookies, 0, 5),
    Label(1, 4, "E-mail addresses:"), Value(kMails, 1, 5),
    Label(2, 4, "Level:"), Value(kLevel, 2, 5),
    Label(3, 4, "On this level:"), Value(kLevelFiles, 3, 5),
    Label(0, 6, "Current:"), Value(kLevelIndex, 0, 7),
    Label(1, 6, "Next level:"), Value(kNextLevel, 1, 7),
    Label(2, 6, "Size:"), Value(kFileSize, 2, 7),
    Label(3, 6, "Received:"), Value(kFileReceived, 3, 7),
    Label(4, 0, "File:"),
    SPaneSpec{.id = kFileName, .classID = kClassCaption, .superID = kCounters, .cell = {4, 1, 1, 3}},
    SPaneSpec{.id = kFileProgress, .classID = kClassProgressBar, .superID = kCounters, .cell = {4, 4, 1, 4},
              .maxValue = 100},
    Label(5, 0, "Level progress:"),
    SPaneSpec{.id = kLevelProgress, .classID = kClassProgressBar, .superID = kCounters, .cell = {5, 1, 1, 7},
              .maxValue = 100},
});

constexpr SLayout kGrabberLayout{.number = kLayout, .windowClass = kWindowClass, .title = "Grabber",
                                 .widthChars = 96, .panes = kPanes};

}  // namespace

void RegisterGrabberLayout() { CLayoutTable::Register(kGrabberLayout); }

}  // namespace grabber
