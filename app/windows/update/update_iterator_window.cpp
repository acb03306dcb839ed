#include "app/windows/update/update_iterator_window.h"

#include <chrono>

#include <QFileDialog>
#include <QIcon>
#include <QPushButton>

#include "app/framework/keyboard_return.h"
#include "app/windows/update/update_layout.h"
#include "app/windows/widgets/dirty_text.h"
#include "app/windows/widgets/elided_caption.h"
#include "app/windows/widgets/live_resize_attachment.h"
#include "app/windows/widgets/widget_panes.h"
#include "engine/update/update_iterator.h"
#include "foundation/settings/log_file.h"
#include "foundation/text/text_encodings.h"
#include "foundation/threads/thread_scheduler.h"

using namespace updatewindow;

namespace {

constexpr auto kStopBound = std::chrono::seconds(5);

CUpdateIteratorWindow::FolderChooser& Chooser()
{
    static CUpdateIteratorWindow::FolderChooser chooser;
    return chooser;
}

std::string AskForFolder()
{
    if (Chooser()) return Chooser()();
    const CKeyboardReturn keyboardReturn;
    return QFileDialog::getExistingDirectory(nullptr, "Choose the folder to update").toStdString();
}

}  // namespace

CUpdateIteratorWindow::CUpdateIteratorWindow(const SLayout& layout, CCommander* superCommander)
    : GGrayscaleWindow(layout, superCommander)
{
    SetName("Update Window");
    mPanes.SetFlushHook([this] { ShowHeldLog(); });
}

CUpdateIteratorWindow::~CUpdateIteratorWindow()
{
    // The thread writes into this window until it ends: wait for it however long.
    while (mUpdater != nullptr) StopUpdate(kStopBound);
}

void CUpdateIteratorWindow::SetFolderChooser(FolderChooser chooser) { Chooser() = std::move(chooser); }

void CUpdateIteratorWindow::FinishCreateSelf()
{
    GGrayscaleWindow::FinishCreateSelf();
    for (PaneIDT id : {kChooseFolder, kStart, kStop, kHelp})
        if (CPane* pane = FindPaneByID(id)) pane->AddListener(this);
    if (CPane* help = FindPaneByID(kHelp))
        if (auto* button = qobject_cast<QPushButton*>(help->GetWidget())) button->setIcon(QIcon::fromTheme("help-browser"));
    ElideCaptionInMiddle(FindPaneByID(kFolder));
    ShowBusy(false);
    if (GetWidget() != nullptr) new CLiveResizeAttachment(GetWidget());
}

void CUpdateIteratorWindow::SetFolder(const std::string& path)
{
    mFolderRef = CFileRef(path);
    if (CPane* folder = FindPaneByID(kFolder)) folder->SetDescriptor(path);
    if (mUpdater == nullptr) EnablePane(kStart, true);
    mPanes.Flush();
}

void CUpdateIteratorWindow::ListenToMessage(MessageT message, void* ioParam)
{
    switch (message) {
    case kChooseFolder:
        if (std::string path = AskForFolder(); !path.empty()) SetFolder(path);
        break;
    case kStart:
        StartUpdate();
        mPanes.Flush();
        break;
    case kStop:
        EnablePane(kStop, false);
        StopUpdate(kStopBound);
        mPanes.Flush();
        break;
    case kMsgLogLine:
        if (ioParam != nullptr) LogLine(*static_cast<const std::string*>(ioParam));
        break;
    case kHelp: OpenInDefaultApp(ResourceFolder() + "/help/update.html"); break;
    default: break;
    }
}

void CUpdateIteratorWindow::StartUpdate()
{
    if (mUpdater != nullptr || mFolderRef.Path().empty()) return;
    EnablePane(kStart, false);
    EnablePane(kStop, true);
    ShowBusy(true);
    mUpdater = new CUpdateIterator(mFolderRef, this);
    mUpdater->Resume();
}

void CUpdateIteratorWindow::StopUpdate(std::chrono::milliseconds bound)
{
    if (mUpdater != nullptr) {
        mUpdater->RequestStop();
        // A fetch in progress is cancelled; the thread reaches its stop check.
        mUpdater->Wake();
        CThreadScheduler::RunUntil([this] { return mUpdater == nullptr; }, CThreadScheduler::Clock::now() + bound);
    }
    if (mUpdater == nullptr) ShowBusy(false);
}

void CUpdateIteratorWindow::ShowBusy(bool busy)
{
    if (CPane* spin = FindPaneByID(kSpin)) {
        if (busy) {
            spin->Show();
            spin->StartIdling();
        } else {
            spin->StopIdling();
            spin->Hide();
        }
    }
}

void CUpdateIteratorWindow::ClearThreadPointer()
{
    mUpdater = nullptr;
    EnablePane(kStop, false);
    EnablePane(kStart, !mFolderRef.Path().empty());
    mPanes.Flush();
}

void CUpdateIteratorWindow::LogText(const std::string& text)
{
    std::string_view line = text;
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
    mHeldLog.append(line).push_back('\n');
    mPanes.Changed();
}

void CUpdateIteratorWindow::ShowHeldLog()
{
    if (mHeldLog.empty()) return;
    if (auto* pane = FindPaneAs<CDirtyTextPane>(kText); pane != nullptr && pane->Text() != nullptr)
        pane->Text()->Insert(mHeldLog, false);  // drawn with the window's next paint
    mHeldLog.clear();
}

void CUpdateIteratorWindow::LogLine(const std::string& text) { LogText(text); }

void CUpdateIteratorWindow::EnablePane(PaneIDT pane, bool enabled) { mPanes.SetEnabled(pane, enabled); }
