#include "app/windows/quicker_grabber/quicker_grabber_layout.h"

#include <array>

#include "app/framework/class_registrar.h"
#include "app/framework/layout.h"
#include "app/windows/widgets/widget_panes.h"

namespace quickergrabber {

namespace {

constexpr PaneIDT kControls = MakeFourCharCode("Ctls");
constexpr PaneIDT kStatus = MakeFourCharCode("Stts");
constexpr PaneIDT kMediaOptions = MakeFourCharCode("Mopt");

// The start row, the options row and the status lines; the media grabber
// adds its options and the picture below them, the others an empty row that
// takes the room a larger window has.
constexpr auto kCommonPanes = std::to_array<SPaneSpec>({
    SPaneSpec{.id = kURL, .classID = kClassDDTextField, .cell = {0, 0, 1, 4}, .widthChars = 48},
    SPaneSpec{.id = kGrab, .classID = kClassPushButton, .cell = {0, 4}, .caption = "Grab"},
    SPaneSpec{.id = kPause, .classID = kClassPushButton, .cell = {0, 5}, .caption = "Pause",
              .visible = false},
    SPaneSpec{.id = kSpin, .classID = kClassChasingArrows, .cell = {0, 6}, .widthChars = 4, .visible = false},
    SPaneSpec{.id = kControls, .classID = kClassView, .cell = {1, 0, 1, 7}},
    SPaneSpec{.id = kRecent, .classID = kClassPopupMenu, .superID = kControls, .cell = {0, 0},
              .caption = "Recent Items", .widthChars = 20},
    SPaneSpec{.id = kStay, .classID = kClassCheckBox, .superID = kControls, .cell = {0, 1},
              .caption = "Stay in folder"},
    SPaneSpec{.id = kBrowse, .classID = kClassPushButton, .superID = kControls, .cell = {0, 2},
              .caption = "View", .enabled = false},
    SPaneSpec{.id = kDown, .classID = kClassPushButton, .superID = kControls, .cell = {0, 3},
              .caption = "Show Folder"},
    SPaneSpec{.id = kSiteMap, .classID = kClassPushButton, .superID = kControls, .cell = {0, 4},
              .caption = "Site Map", .enabled = false},
    SPaneSpec{.id = kStatus, .classID = kClassView, .cell = {2, 0, 1, 7}},
    SPaneSpec{.id = kTask, .classID = kClassCaption, .superID = kStatus, .cell = {0, 0, 1, 2},
              .caption = "Idle"},
    SPaneSpec{.id = kMess, .classID = kClassCaption, .superID = kStatus, .cell = {1, 0, 1, 2},
              .caption = "Enter a URL and press Grab."},
    SPaneSpec{.id = kByte, .classID = kClassCaption, .superID = kStatus, .cell = {2, 0, 1, 2}},
    SPaneSpec{.id = kCrnt, .classID = kClassCaption, .superID = kStatus, .cell = {3, 0, 1, 2},
              .visible = false},
    SPaneSpec{.id = kLevel, .classID = kClassCaption, .superID = kStatus, .cell = {4, 0}, .caption = "Level: 1",
              .widthChars = 8, .visible = false},
    SPaneSpec{.id = kProgress, .classID = kClassProgressBar, .superID = kStatus, .cell = {4, 1}, .maxValue = 1,
              .visible = false},
});

template <std::size_t N, std::size_t M>
constexpr std::array<SPaneSpec, N + M> Join(const std::array<SPaneSpec, N>& first,
                                            const std::array<SPaneSpec, M>& second)
{
    std::array<SPaneSpec, N + M> joined{};
    for (std::size_t i = 0; i < N; ++i) joined[i] = first[i];
    for (std::size_t i = 0; i < M; ++i) joined[N + i] = second[i];
    return joined;
}

constexpr auto kQuickPanes = Join(kCommonPanes, std::to_array<SPaneSpec>({
    SPaneSpec{.classID = kClassView, .cell = {3, 0}, .stretch = true},
}));

constexpr auto kMediaPanes = Join(kCommonPanes, std::to_array<SPaneSpec>({
    SPaneSpec{.id = kMediaOptions, .classID = kClassView, .cell = {3, 0, 1, 7}},
    SPaneSpec{.id = kMedia, .classID = kClassPopupMenu, .superID = kMediaOptions, .cell = {0, 0},
              .caption = "Images\nMovies\nPDF Documents", .value = 1, .minValue = 1, .maxValue = 3},
    SPaneSpec{.id = kOnly, .classID = kClassPopupMenu, .superID = kMediaOptions, .cell = {0, 1},
              .caption = "This page and its links\nTwo levels deep\nThe whole site", .value = 1, .minValue = 1,
              .maxValue = 3},
    SPaneSpec{.id = kFlat, .classID = kClassCheckBox, .superID = kMediaOptions, .cell = {0, 2},
              .caption = "Flatten when saving", .value = 1, .maxValue = 1},
    SPaneSpec{.id = kSlide, .classID = kClassCheckBox, .superID = kMediaOptions, .cell = {0, 3},
              .caption = "Slide show", .value = 1, .maxValue = 1},
    SPaneSpec{.id = kImage, .classID = kClassQuickTimeView, .cell = {4, 0, 1, 7}, .widthChars = 40,
              .heightLines = 16, .stretch = true},
}));

constexpr SLayout kQuickLayout{.number = kLayout, .windowClass = kWindowClass, .title = "Quicker Grabber",
                               .widthChars = 72, .panes = kQuickPanes};
constexpr SLayout kMediaGrabberLayout{.number = kMediaLayout, .windowClass = kWindowClass, .title = "Media Grabber",
                                      .widthChars = 72, .panes = kMediaPanes};

}  // namespace

void RegisterQuickerGrabberLayouts()
{
    for (const SLayout* layout : {&kQuickLayout, &kMediaGrabberLayout}) CLayoutTable::Register(*layout);
    grabstart::RegisterGrabStartDialogs();
}

}  // namespace quickergrabber
