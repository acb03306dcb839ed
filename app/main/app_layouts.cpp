#include "app/main/app_layouts.h"

#include "app/framework/class_registrar.h"
#include "app/windows/widgets/widget_panes.h"

namespace {

constexpr SPaneSpec kAboutPanes[] = {
    {.id = kAboutIconPane, .classID = kClassIconPane, .cell = {0, 0, 3, 1}},
    {.id = kAboutNamePane, .classID = kClassCaption, .cell = {0, 1}, .caption = "Tidewell"},
    {.id = kAboutVersionPane, .classID = kClassCaption, .cell = {1, 1}, .caption = "Version: ^0"},
    {.id = kAboutNoticePane, .classID = kClassCaption, .cell = {2, 1}, .caption = kNoticePlaceholder,
     .widthChars = 44},
    // Title on the first line, address on the second.
    {.id = kAboutMailPane, .classID = kClassURLPushButton, .cell = {3, 1},
     .caption = "tidewell-support@farrowby.com\nmailto:tidewell-support@farrowby.com", .valueMessage = kMsgAboutMail},
    {.id = kAboutWebPane, .classID = kClassURLPushButton, .cell = {4, 1},
     .caption = "www.farrowby.com/tidewell\nhttps://www.farrowby.com/tidewell/", .valueMessage = kMsgAboutWeb},
    {.id = MakeFourCharCode("Btns"), .classID = kClassView, .cell = {5, 1}},
    {.classID = kClassView, .superID = MakeFourCharCode("Btns"), .cell = {0, 0}, .stretch = true},
    {.id = MakeFourCharCode("OK  "), .classID = kClassPushButton, .superID = MakeFourCharCode("Btns"),
     .cell = {0, 1}, .caption = "OK", .valueMessage = kMsgOK},
};

constexpr SPaneSpec kConfirmQuitPanes[] = {
    {.classID = kClassIconPane, .cell = {0, 0, 2, 1}, .caption = "dialog-warning"},
    {.classID = kClassCaption, .cell = {0, 1, 1, 3}, .caption = "A grab is still running.", .widthChars = 40},
    {.classID = kClassCaption, .cell = {1, 1, 1, 3},
     .caption = "Quitting now stops it; the files saved so far stay on disk."},
    {.classID = kClassView, .cell = {2, 1}, .stretch = true},
    {.id = MakeFourCharCode("CNCL"), .classID = kClassPushButton, .cell = {2, 2}, .caption = "Cancel",
     .valueMessage = kMsgCancel},
    {.id = MakeFourCharCode("QUIT"), .classID = kClassPushButton, .cell = {2, 3}, .caption = "Quit",
     .valueMessage = kMsgOK},
};

}  // namespace

const SLayout& AboutBoxLayout()
{
    static const SLayout layout{.number = kAboutBoxLayout, .windowClass = kClassAboutBox,
                                .kind = EWindowKind::kDialog, .title = "About Tidewell", .panes = kAboutPanes};
    return layout;
}

const SLayout& ConfirmQuitLayout()
{
    static const SLayout layout{.number = kConfirmQuitLayout, .windowClass = kClassDialog,
                                .kind = EWindowKind::kDialog, .title = "Quit Tidewell", .panes = kConfirmQuitPanes};
    return layout;
}
