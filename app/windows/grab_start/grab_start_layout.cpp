#include "app/windows/grab_start/grab_start_layout.h"

#include <array>

#include "app/framework/class_registrar.h"
#include "app/framework/layout.h"

namespace grabstart {

namespace {

constexpr PaneIDT kQuestion = MakeFourCharCode("Ques");
constexpr PaneIDT kOK = MakeFourCharCode("OKbt");
constexpr PaneIDT kCancel = MakeFourCharCode("Cnbt");

constexpr auto kClosePanes = std::to_array<SPaneSpec>({
    SPaneSpec{.id = kQuestion, .classID = kClassCaption, .cell = {0, 0, 1, 3},
              .caption = "A grab is in progress. Stop it and close the window?", .stretch = true},
    SPaneSpec{.id = kCancel, .classID = kClassPushButton, .cell = {1, 1}, .caption = "Cancel",
              .valueMessage = kMsgCancel},
    SPaneSpec{.id = kOK, .classID = kClassPushButton, .cell = {1, 2}, .caption = "Close", .valueMessage = kMsgOK},
});

constexpr auto kBadURLPanes = std::to_array<SPaneSpec>({
    SPaneSpec{.id = kQuestion, .classID = kClassCaption, .cell = {0, 0, 1, 2},
              .caption = "The starting URL is not a valid URL. Please check it and try again.", .stretch = true},
    SPaneSpec{.id = kOK, .classID = kClassPushButton, .cell = {1, 1}, .caption = "OK", .valueMessage = kMsgOK},
});

constexpr SLayout kCloseLayout{.number = kCloseDialog, .windowClass = kClassDialog, .kind = EWindowKind::kDialog,
                               .title = "Grab in Progress", .panes = kClosePanes};
constexpr SLayout kBadURLLayout{.number = kBadURLDialog, .windowClass = kClassDialog, .kind = EWindowKind::kDialog,
                                .title = "Invalid URL", .panes = kBadURLPanes};

}  // namespace

void RegisterGrabStartDialogs()
{
    for (const SLayout* layout : {&kCloseLayout, &kBadURLLayout}) CLayoutTable::Register(*layout);
}

}  // namespace grabstart
