#include "app/windows/configurations/configurations_layout.h"

#include <array>

#include "app/framework/class_registrar.h"
#include "app/framework/grayscale_window.h"
#include "app/framework/layout.h"
#include "app/windows/configurations/configuration_panes.h"

namespace configwin {

namespace {

constexpr PaneIDT kPrompt = MakeFourCharCode("Prmt");
constexpr PaneIDT kOKButton = MakeFourCharCode("OKbt");
constexpr PaneIDT kCancelButton = MakeFourCharCode("Cnbt");

constexpr auto kConfigurationsPanes = std::to_array<SPaneSpec>({
    SPaneSpec{.id = kTable, .classID = kConfigurationTableClass, .cell = {0, 0, 7, 1}, .widthChars = 32,
              .heightLines = 12, .stretch = true},
    SPaneSpec{.id = 3, .classID = kClassPushButton, .cell = {0, 1}, .caption = "New", .valueMessage = kMsgNew},
    SPaneSpec{.id = 4, .classID = kClassPushButton, .cell = {1, 1}, .caption = "Duplicate",
              .valueMessage = kMsgDuplicate},
    SPaneSpec{.id = 5, .classID = kClassPushButton, .cell = {2, 1}, .caption = "Rename", .valueMessage = kMsgRename},
    SPaneSpec{.id = 6, .classID = kClassPushButton, .cell = {3, 1}, .caption = "Delete", .valueMessage = kMsgDelete},
    SPaneSpec{.id = 7, .classID = kClassPushButton, .cell = {4, 1}, .caption = "Edit", .valueMessage = kMsgEdit},
    SPaneSpec{.classID = kClassView, .cell = {5, 1}, .stretch = true},
    SPaneSpec{.id = kHelp, .classID = kClassPushButton, .cell = {6, 1}, .caption = "Help", .valueMessage = kMsgHelp},
});

template <std::size_t N>
constexpr std::array<SPaneSpec, 4> NamePanes(const char (&prompt)[N])
{
    return {
        SPaneSpec{.id = kPrompt, .classID = kClassCaption, .cell = {0, 0, 1, 3}, .caption = prompt},
        SPaneSpec{.id = kName, .classID = kClassEditField, .cell = {1, 0, 1, 3}, .widthChars = 32},
        SPaneSpec{.id = kCancelButton, .classID = kClassPushButton, .cell = {2, 1}, .caption = "Cancel",
                  .valueMessage = kMsgCancel},
        SPaneSpec{.id = kOKButton, .classID = kClassPushButton, .cell = {2, 2}, .caption = "OK", .valueMessage = kMsgOK},
    };
}

constexpr auto kNewPanes = NamePanes("Name of the new configuration:");
constexpr auto kDuplicatePanes = NamePanes("Name of the copy:");
constexpr auto kRenamePanes = NamePanes("New name of the configuration:");

constexpr auto kEditorPanes = std::to_array<SPaneSpec>({
    SPaneSpec{.id = kTabs, .classID = kClassTabBar, .cell = {0, 0, 1, 2},
              .caption = "General\nAuthentication\nNegative Filters\nPositive Filters\nOther Filters\nLogging\n"
                         "Input Items"},
    SPaneSpec{.id = GGrayscaleWindow::kPanelHostPane, .classID = kClassView, .cell = {1, 0, 1, 2}, .stretch = true},
    SPaneSpec{.id = GGrayscaleWindow::kSamplePane, .classID = kClassView, .cell = {2, 0}, .visible = false},
    SPaneSpec{.id = kHelp, .classID = kClassPushButton, .cell = {2, 1}, .caption = "Help", .valueMessage = kMsgHelp},
});

constexpr auto kSaveChangesPanes = std::to_array<SPaneSpec>({
    SPaneSpec{.id = kPrompt, .classID = kClassCaption, .cell = {0, 0, 1, 4},
              .caption = "Do you want to save the changes you made to this configuration?", .stretch = true},
    SPaneSpec{.id = MakeFourCharCode("Dont"), .classID = kClassPushButton, .cell = {1, 0}, .caption = "Don't Save",
              .valueMessage = kMsgDontSave},
    SPaneSpec{.id = kCancelButton, .classID = kClassPushButton, .cell = {1, 2}, .caption = "Cancel",
              .valueMessage = kMsgCancel},
    SPaneSpec{.id = kOKButton, .classID = kClassPushButton, .cell = {1, 3}, .caption = "Save", .valueMessage = kMsgOK},
});

constexpr auto kRevertPanes = std::to_array<SPaneSpec>({
    SPaneSpec{.id = kPrompt, .classID = kClassCaption, .cell = {0, 0, 1, 3},
              .caption = "Remove the imported user agents and use the default set again?", .stretch = true},
    SPaneSpec{.id = kCancelButton, .classID = kClassPushButton, .cell = {1, 1}, .caption = "Cancel",
              .valueMessage = kMsgCancel},
    SPaneSpec{.id = kOKButton, .classID = kClassPushButton, .cell = {1, 2}, .caption = "Revert", .valueMessage = kMsgOK},
});

constexpr auto kMessagePanes = std::to_array<SPaneSpec>({
    SPaneSpec{.id = kMessageText, .classID = kClassEditableText, .cell = {0, 0, 1, 3}, .widthChars = 48,
              .heightLines = 10, .stretch = true},
    SPaneSpec{.id = kMessageCancel, .classID = kClassPushButton, .cell = {1, 1}, .caption = "Cancel"},
    SPaneSpec{.id = kMessageOK, .classID = kClassPushButton, .cell = {1, 2}, .caption = "OK"},
});

constexpr SLayout kLayouts[] = {
    {.number = kConfigurationsLayout, .windowClass = kConfigurationsClass, .title = "Configurations",
     .panes = kConfigurationsPanes},
    {.number = kNewNameDialog, .windowClass = kClassDialog, .kind = EWindowKind::kDialog,
     .title = "New Configuration", .panes = kNewPanes},
    {.number = kDuplicateNameDialog, .windowClass = kClassDialog, .kind = EWindowKind::kDialog,
     .title = "Duplicate Configuration", .panes = kDuplicatePanes},
    {.number = kRenameNameDialog, .windowClass = kClassDialog, .kind = EWindowKind::kDialog,
     .title = "Rename Configuration", .panes = kRenamePanes},
    {.number = kEditorLayout, .windowClass = kEditorClass, .title = "Edit Configuration", .widthChars = 80,
     .panes = kEditorPanes},
    {.number = kSaveChangesDialog, .windowClass = kClassDialog, .kind = EWindowKind::kDialog,
     .title = "Save Changes", .panes = kSaveChangesPanes},
    {.number = kRevertUserAgentsDialog, .windowClass = kClassDialog, .kind = EWindowKind::kDialog,
     .title = "Revert User Agents", .panes = kRevertPanes},
    {.number = kMessageWindow, .windowClass = kMessageWindowClass, .title = "Edit Message", .panes = kMessagePanes},
};

}  // namespace

void RegisterConfigurationLayouts()
{
    for (const SLayout& layout : kLayouts) CLayoutTable::Register(layout);
}

}  // namespace configwin
