#include "app/windows/configurations/edit_configuration_window.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include <QCursor>
#include <QPainter>
#include <QPrinter>
#include <QTabBar>
#include <QTextDocument>

#include "app/framework/application.h"
#include "app/framework/dialog.h"
#include "app/framework/layout.h"
#include "app/framework/print_job.h"
#include "app/windows/configurations/configuration_panel.h"
#include "app/windows/configurations/configurations_layout.h"
#include "app/windows/configurations/help_pages.h"
#include "app/windows/configurations/message_window.h"
#include "engine/config/configuration_files.h"
#include "foundation/settings/preference_accessors.h"
#include "foundation/settings/preference_store.h"

using namespace configwin;

namespace {

// The help tags of the tabs.
constexpr const char* kTabTags[kTabCount] = {
    "Set download folder, specify index filename, delay, timeout and control post-processing of downloaded files.",
    "Enter site-wide and realm specific login information.",
    "Specify negative criteria to control which resources are grabbed, crawled and saved.",
    "Specify positive criteria to control which resources are grabbed, crawled and saved.",
    "Specify resource size, date, and content filtering. Specify a script program to run after each grab.",
    "Turn on logging, site map generation and spoofing (i.e. specify a user-agent.)",
    ("Specify a form and its input values. Tidewell will start its crawl by submitting the input values to the "
     "forms action URL."),
};

// The stored tab, held to the tabs there are.
int StoredTab()
{
    const std::optional<std::int32_t> stored = GetDecimalPreference(CEditConfigurationWindow::kLastPanePreference);
    if (!stored || *stored < 1 || *stored > kTabCount) return 1;
    return *stored;
}

std::string SaveFailureText(const std::string& name, int status)
{
    if (status == -EPERM)
        return "The configuration \"Default\" is built in and cannot be saved. Duplicate it in the Configurations "
               "window to keep your changes.";
    return "The configuration \"" + name + "\" could not be saved: " + std::strerror(-status) + ".";
}

}  // namespace

CEditConfigurationWindow::CEditConfigurationWindow(const SLayout& layout, CCommander* superCommander)
    : GGrayscaleWindow(layout, superCommander)
{
    SetName("Edit Configuration Window");
}

CEditConfigurationWindow::~CEditConfigurationWindow()
{
    if (CMessageWindow* message = std::exchange(mMessageWindow, nullptr)) {
        message->SetOnEnd(nullptr);
        message->AttemptClose();
    }
    ReleasePanel();
    if (CPane* tabs = FindPaneByID(configwin::kTabs)) (void)SetDecimalPreference(kLastPanePreference, tabs->GetValue());
}

void CEditConfigurationWindow::FinishCreateSelf()
{
    GGrayscaleWindow::FinishCreateSelf();
    if (CPane* tabs = FindPaneByID(configwin::kTabs)) tabs->AddListener(this);
    if (CPane* help = FindPaneByID(kHelp)) help->AddListener(this);
}

void CEditConfigurationWindow::SetConfiguration(const std::string& name)
{
    mName = name;
    mSaved = CConfiguration();
    if (!IsDefaultConfigurationName(name)) {
        CFileRef file;
        if (FindConfigurationFile(name, file).Ok()) (void)mSaved.ReadFile(file);  // read once already by the opener
    }
    mWorking = mSaved;
    CPane* tabs = FindPaneByID(configwin::kTabs);
    const int tab = StoredTab();
    if (tabs == nullptr || tabs->GetValue() == tab)
        InstallSamplePanel(kEditorLayout + tab);
    else
        tabs->SetValue(tab);  // its message installs the panel
    SetTitle(name);
}

void CEditConfigurationWindow::ReleasePanel()
{
    if (!mPanel) return;
    mPanel->SaveToConfiguration();
    mPanel.reset();
}

void CEditConfigurationWindow::InstallSamplePanel(int layoutNumber)
{
    const SLayout* layout = CLayoutTable::Find(layoutNumber);
    if (FindPaneByID(configwin::kTabs) == nullptr || FindPaneByID(kPanelHostPane) == nullptr) return;
    if (layout == nullptr) ThrowNilPointer("InstallSamplePanel");
    ReleasePanel();
    GGrayscaleWindow::InstallSamplePanel(layoutNumber);
    mPanelLayout = layoutNumber;
    if (CPane* view = GetCurrentPanel()) mPanel = MakePanel(layout->windowClass, *this, *view);
    if (!mPanel) ThrowNilPointer("InstallSamplePanel");
}

CMessageWindow* CEditConfigurationWindow::OpenMessageWindow(bool start)
{
    if (mMessageWindow != nullptr) return mMessageWindow;
    mMessageWindow = MakeWindowAs<CMessageWindow>(kMessageWindow, this, "OpenMessageWindow");
    mMessageWindow->Edit(mWorking, start);
    mMessageWindow->SetOnEnd([this] {
        mMessageWindow = nullptr;
        if (mPanel) mPanel->ListenToMessage(kMsgMessageWindowEnded, nullptr);
    });
    mMessageWindow->Show();
    return mMessageWindow;
}

void CEditConfigurationWindow::ListenToMessage(MessageT message, void* ioParam)
{
    if (message == configwin::kTabs) {
        const std::int32_t tab = ioParam ? *static_cast<std::int32_t*>(ioParam) : FindPaneByID(configwin::kTabs)->GetValue();
        if (tab >= 1 && tab <= kTabCount) InstallSamplePanel(kEditorLayout + tab);
    } else if (message == kMsgHelp) {
        OpenHelpPage(PanelHelpPage(mPanelLayout));
    } else {
        GGrayscaleWindow::ListenToMessage(message, ioParam);
    }
}

bool CEditConfigurationWindow::AllowClose()
{
    if (mPanel) mPanel->SaveToConfiguration();
    return !CloseEditor();
}

bool CEditConfigurationWindow::CloseEditor()
{
    if (mWorking.IsEqual(mSaved)) return false;
    const MessageT answer = RunModalDialog(kSaveChangesDialog, "CloseEditor", [](CDialog& dialog) {
        dialog.SetEndMessages({kMsgOK, kMsgDontSave, kMsgCancel});
    });
    if (answer == kMsgOK) {
        const CStatus status = mWorking.Save(mName);
        if (status.Failed()) {
            SAlert alert;
            alert.kind = EAlertKind::kCaution;
            alert.text = SaveFailureText(mName, status.Code());
            RunAlert(alert);
            return true;
        }
        mSaved = mWorking;
        return false;
    }
    if (answer == kMsgDontSave) {
        mWorking = mSaved;
        return false;
    }
    return true;
}

bool CEditConfigurationWindow::DoPrint(QPrinter* printer)
{
    std::unique_ptr<QPrinter> asked;
    if (printer == nullptr) {
        asked = std::make_unique<QPrinter>();
        if (!AskForPrintJob(*asked, GetWidget())) return false;
        printer = asked.get();
    }
    CTextBuffer summary;
    mWorking.MakeSummary(summary);
    std::string text(summary.View());
    std::replace(text.begin(), text.end(), '\r', '\n');
    QTextDocument document;
    document.setPlainText(QString::fromStdString(text));
    document.print(printer);
    return true;
}

bool CEditConfigurationWindow::HandleCommand(CommandT command, void* ioParam)
{
    if (command == kCmdPrint) {
        DoPrint();
        return true;
    }
    return GGrayscaleWindow::HandleCommand(command, ioParam);
}

bool CEditConfigurationWindow::GetCommandStatus(CommandT command, SCommandStatus& status)
{
    if (command == kCmdPrint) {
        status.enabled = true;
        return true;
    }
    return GGrayscaleWindow::GetCommandStatus(command, status);
}

bool CEditConfigurationWindow::GetPaneHelpText(PaneIDT paneID, std::string& outText)
{
    if (paneID == kHelp) {
        outText = "Help for this pane";
        return true;
    }
    if (paneID == configwin::kTabs) {
        CPane* tabs = FindPaneByID(configwin::kTabs);
        auto* bar = tabs ? qobject_cast<QTabBar*>(tabs->GetWidget()) : nullptr;
        const int tab = bar ? bar->tabAt(bar->mapFromGlobal(QCursor::pos())) : -1;
        outText = tab >= 0 && tab < kTabCount ? kTabTags[tab] : "Uh oh!";
        return true;
    }
    if (mPanel && mPanel->GetPaneHelpText(paneID, outText)) return true;
    return GGrayscaleWindow::GetPaneHelpText(paneID, outText);
}

CEditConfigurationWindow* ShowEditConfigurationWindow(CWindow* toClose, const std::string& name)
{
    // An editor of the built-in values would save them over a file it could
    // not read; one whose file is gone opens with them, to be saved anew.
    CConfiguration probe;
    if (const CStatus status = LoadConfiguration(name, probe); status.Failed() && status.Code() != -ENOENT) {
        RunAlert({EAlertKind::kStop, ConfigurationReadFailure(name, status), {}, {}});
        return nullptr;
    }
    auto* editor =
        MakeWindowAs<CEditConfigurationWindow>(kEditorLayout, CApplication::Get(), "ShowEditConfigurationWindow");
    editor->SetConfiguration(name);
    editor->Show();
    editor->Select();
    if (toClose != nullptr) toClose->AttemptClose();  // hides it; it is deleted after the current event
    return editor;
}
