#include "app/windows/configurations/misc_panel.h"

#include <filesystem>

#include <QApplication>

#include "app/framework/dialog.h"
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

CMessageWindow::CMessageWindow(const SLayout& layout, CCommander* superCommander) : CWindow(layout, superCommander) {}

bool CMessageWindow::AllowClose()
{
    if (auto onCloseBox = std::exchange(mOnCloseBox, nullptr)) onCloseBox();
    return true;
}

CMiscPanel::CMiscPanel(CEditConfigurationWindow& window, CPane& view) : CEditConfigurationPanel(window, view)
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

CMiscPanel::~CMiscPanel()
{
    if (mMessageWindow != nullptr) {
        mMessageWindow->SetOnCloseBox(nullptr);
        mMessageWindow->AttemptClose();
    }
}

void CMiscPanel::FinishCreateSelf()
{
    Listen({kChooseFolder, kEditStart, kEditFinish, kImportAgents, kRevertAgents, kUserAgentMenu});
    Enable(kRevertAgents, HasPreference("User Agents"));
    FillUserAgents();
    LoadBindings();
}

void CMiscPanel::FillUserAgents()
{
    CPane* popup = Pane(kUserAgentMenu);
    if (popup == nullptr || gAppSettings == nullptr) return;
    CPopupAgentMenu menu(*popup);
    gAppSettings->LoadUserAgents(&menu);
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
        OpenMessageWindow(message == kEditStart);
    } else if (message == kMessageOK || message == kMessageCancel) {
        EndMessageWindow(message == kMessageOK);
    } else {
        CEditConfigurationPanel::ListenToMessage(message, ioParam);
    }
}

void CMiscPanel::OpenMessageWindow(bool start)
{
    if (mMessageWindow != nullptr) return;
    mEditingStart = start;
    mMessageWindow = MakeWindowAs<CMessageWindow>(kMessageWindow, this, "OpenMessageWindow");
    const CTextBuffer& text = start ? Working().mMiscOptions.startMessage : Working().mMiscOptions.finishMessage;
    if (CPane* view = mMessageWindow->FindPaneByID(kMessageText)) {
        view->SetDescriptor(text.View());
        mShownMessage = view->GetDescriptor();  // as the view keeps it (line ends)
    }
    mMessageWindow->SetTitle(start ? "Edit Start Message" : "Edit Finish Message");
    Enable(kEditStart, false);
    Enable(kEditFinish, false);
    for (PaneIDT id : {kMessageOK, kMessageCancel})
        if (CPane* button = mMessageWindow->FindPaneByID(id)) button->AddListener(this);
    mMessageWindow->SetOnCloseBox([this] {
        mMessageWindow = nullptr;
        Enable(kEditStart, true);
        Enable(kEditFinish, true);
    });
    mMessageWindow->Show();
}

void CMiscPanel::EndMessageWindow(bool keep)
{
    CMessageWindow* window = std::exchange(mMessageWindow, nullptr);
    if (window == nullptr) return;
    if (keep) {
        const std::string text = window->FindPaneByID(kMessageText) ? window->FindPaneByID(kMessageText)->GetDescriptor()
                                                                    : std::string();
        CTextBuffer& target = mEditingStart ? Working().mMiscOptions.startMessage : Working().mMiscOptions.finishMessage;
        if (text != mShownMessage) target.Assign(std::string_view(text));
    }
    window->SetOnCloseBox(nullptr);
    window->AttemptClose();
    Enable(kEditStart, true);
    Enable(kEditFinish, true);
}
