#include "app/windows/configurations/misc_panel.h"

#include <filesystem>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QEvent>

#include "app/framework/dialog.h"
#include "app/framework/grayscale_window.h"
#include "app/windows/configurations/edit_configuration_window.h"
#include "app/windows/configurations/configurations_layout.h"
#include "app/windows/configurations/file_choosers.h"
#include "app/windows/configurations/user_agents_import.h"
#include "foundation/settings/app_settings.h"
#include "foundation/settings/preference_store.h"

using namespace configwin;

namespace {

constexpr PaneIDT kSiteMapFormat = MakeFourCharCode("SMOp");

template <auto Member>
auto& M(CConfiguration& c)
{
    return c.mMiscOptions.*Member;
}

using Misc = CMiscOptions;

// The first item of an agent in the popup: after the program's own agent
// and the separator.
constexpr int kFirstAgentItem = 2;

// Help tags of the popup's items (the agents' strings) show only while help
// tags are on.
class CHelpTagsSwitch : public QObject {
public:
    explicit CHelpTagsSwitch(QWidget* viewport) : QObject(viewport) { viewport->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override { return event->type() == QEvent::ToolTip && !AreHelpTagsOn(); }
};

class CPopupAgentMenu : public CUserAgentMenu {
public:
    explicit CPopupAgentMenu(CPane& popup) : mPopup(popup) {}
    void RemoveAllItems() override { mPopup.RemoveAllMenuItems(); }
    void AppendItem(const std::string& text) override { mPopup.AppendMenuItem(text); }
    void DisableItem(int) override {}  // the separator does nothing when picked

private:
    CPane& mPopup;
};

}  // namespace

CMiscPanel::CMiscPanel(CConfigurationPanelHost& window, CPane& view) : CEditConfigurationPanel(window, view)
{
    BindText(kLogFolder, M<&Misc::logFolder>);
    BindCheckNumber(78, M<&Misc::generateSiteMap>);
    BindNumber(kSiteMapFormat, M<&Misc::siteMapFormat>);
    BindWordList(79, M<&Misc::siteMapSuffixes>);
    BindCheckNumber(521, M<&Misc::includeAll>);
    BindFlag(MakeFourCharCode("Mail"), M<&Misc::extractEmailAddresses>);
    BindFlag(MakeFourCharCode("Spel"), M<&Misc::collectPages>);
    BindFlag(MakeFourCharCode("GENL"), M<&Misc::generateLog>);
    BindFlag(MakeFourCharCode("OFFS"), M<&Misc::offsiteLinks>);
    BindFlag(MakeFourCharCode("ERRS"), M<&Misc::errorLinks>);
    BindFlag(345, M<&Misc::generateEmail>);
    BindText(kUserAgent, M<&Misc::userAgent>);
    BindText(20, M<&Misc::mailTo>);
    BindText(21, M<&Misc::mailServer>);
    BindText(22, M<&Misc::replyTo>);
}

void CMiscPanel::FinishCreateSelf()
{
    Listen({kChooseFolder, kEditStart, kEditFinish, kImportAgents, kRevertAgents, kUserAgentMenu});
    Enable(kRevertAgents, HasPreference("User Agents"));
    if (auto* items = qobject_cast<QComboBox*>(Pane(kUserAgentMenu) ? Pane(kUserAgentMenu)->GetWidget() : nullptr))
        new CHelpTagsSwitch(items->view()->viewport());
    FillUserAgents();
    LoadBindings();
    EnableMessageButtons();
}

CMessageWindow* CMiscPanel::GetMessageWindow() const { return Window().GetMessageWindow(); }

void CMiscPanel::EnableMessageButtons()
{
    const bool idle = GetMessageWindow() == nullptr;
    Enable(kEditStart, idle);
    Enable(kEditFinish, idle);
}

void CMiscPanel::FillUserAgents()
{
    CPane* popup = Pane(kUserAgentMenu);
    if (popup == nullptr || gAppSettings == nullptr) return;
    CPopupAgentMenu menu(*popup);
    gAppSettings->LoadUserAgents(&menu);
    auto* items = qobject_cast<QComboBox*>(popup->GetWidget());
    if (items == nullptr) return;
    const std::vector<std::string>& agents = gAppSettings->mUserAgentStrings;
    for (std::size_t i = 0; i < agents.size(); ++i)
        items->setItemData(static_cast<int>(i) + kFirstAgentItem, QString::fromStdString(agents[i]), Qt::ToolTipRole);
}

void CMiscPanel::ListenToMessage(MessageT message, void* ioParam)
{
    if (message == kChooseFolder) {
        std::error_code error;
        SChooserRequest request{.kind = SChooserRequest::kFolder, .caption = "Choose the log folder"};
        if (std::filesystem::is_directory(Text(kLogFolder), error)) request.start = Text(kLogFolder);
        const std::optional<std::string> chosen = ChooseFile(request);
        if (chosen && chosen->size() <= 255) SetText(kLogFolder, *chosen);
    } else if (message == kUserAgentMenu) {
        const std::int32_t item = Value(kUserAgentMenu);
        if (gAppSettings == nullptr) return;
        if (item == 1) {
            SetText(kUserAgent, gAppSettings->mUserAgent.View());
        } else if (item >= 3 && static_cast<std::size_t>(item - 3) < gAppSettings->mUserAgentStrings.size()) {
            SetText(kUserAgent, gAppSettings->mUserAgentStrings[static_cast<std::size_t>(item - 3)]);
        }
    } else if (message == kImportAgents) {
        const std::optional<std::string> chosen =
            ChooseFile(SChooserRequest{.kind = SChooserRequest::kOpenFile, .caption = "Import User Agents"});
        if (!chosen) return;
        if (!ImportUserAgents(*chosen)) {
            QApplication::beep();
            return;
        }
        FillUserAgents();
        Enable(kRevertAgents, true);
    } else if (message == kRevertAgents) {
        if (RunModalDialog(kRevertUserAgentsDialog, "RevertUserAgents", [](CDialog& dialog) {
                dialog.SetEndMessages({kMsgOK, kMsgDontSave, kMsgCancel});
            }) != kMsgOK)
            return;
        RevertUserAgents();
        FillUserAgents();
        Enable(kRevertAgents, false);
    } else if (message == kEditStart || message == kEditFinish) {
        Window().OpenMessageWindow(message == kEditStart);
        EnableMessageButtons();
    } else if (message == kMsgMessageWindowEnded) {
        EnableMessageButtons();
    } else {
        CEditConfigurationPanel::ListenToMessage(message, ioParam);
    }
}
