#include "app/windows/search/searcher.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QPushButton>
#include <QStyle>

#include "app/framework/dialog.h"
#include "app/framework/keyboard_return.h"
#include "app/windows/search/hier_outline_table.h"
#include "app/windows/search/search_iterator.h"
#include "app/windows/search/search_panes.h"
#include "app/windows/widgets/elided_caption.h"
#include "app/windows/widgets/live_resize_attachment.h"
#include "app/windows/widgets/resizable_heading.h"
#include "foundation/files/file_system.h"
#include "foundation/settings/log_file.h"
#include "foundation/settings/preference_store.h"
#include "foundation/text/text_encodings.h"
#include "foundation/threads/thread_scheduler.h"
#include "platform/launch/program_launcher.h"
#include "platform/posix/errno_status.h"

using namespace searchwindow;

namespace {

CSearcher::FolderChooser gFolderChooser;
CSearcher::ItemCounter gItemCounter;
std::chrono::milliseconds gCloseWait{3000};

int CountItems(const CFileRef& folder, std::uint64_t& count)
{
    count = 0;
    if (gItemCounter) return gItemCounter(folder, count);
    return WalkFolderTree(folder, 0, [&count](const CWalkItem&) {
               ++count;
               return false;
           })
        .Code();
}

bool IsFolder(const std::string& path)
{
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// "~" and "~/..." name the home folder, as in a shell.
std::string ExpandHome(const std::string& path)
{
    const char* home = std::getenv("HOME");
    if (home == nullptr || path.empty() || path[0] != '~' || (path.size() > 1 && path[1] != '/')) return path;
    return home + path.substr(1);
}

std::optional<std::string> ChooseWithDialog(QWidget* parent, const std::string& start)
{
    const CKeyboardReturn keyboardReturn;
    const QString chosen = QFileDialog::getExistingDirectory(parent, "Choose a Folder to Search",
                                                             QString::fromStdString(start));
    if (chosen.isEmpty()) return std::nullopt;
    return chosen.toStdString();
}

}  // namespace

CSearcher::CSearcher(const SLayout& layout, CCommander* superCommander) : GGrayscaleWindow(layout, superCommander)
{
    SetName(kWindowName);
}

CSearcher::~CSearcher()
{
    if (CPane* folder = FindPaneByID(kFolderField)) (void)SetPreferenceString(folder->GetDescriptor().c_str(), kLastFolderPreference);
    if (mThread == nullptr) return;
    mThread->RequestStop();
    mThread->mCancel = true;
    mThread->Wake();  // it may be waiting for an item's words
    mSearching = false;
    // The thread writes to the panes as it ends: it either ends while they
    // exist or is told to leave them alone.
    CThreadScheduler::RunUntil([this] { return mThread == nullptr; }, CThreadScheduler::Clock::now() + gCloseWait);
    if (mThread != nullptr) {
        mThread->DetachWindow();
        mThread = nullptr;
    }
}

void CSearcher::FinishCreateSelf()
{
    GGrayscaleWindow::FinishCreateSelf();
    mSearching = false;
    mResults = FindPaneAs<CHierOutlineTable>(kResults);
    if (mResults == nullptr) ThrowNilPointer("FinishCreateSelf");
    ElideCaptionInMiddle(FindPaneByID(kFileCaption));
    if (auto* heading = FindPaneAs<CResizableHeading>(kHeading)) {
        heading->FinishCreate(GetContent());
        heading->SetLiveResizing(true);
        struct {
            const char* title;
            int width, offset;
        } const columns[] = {{"Name", 400, 20}, {"Size", 100, 5}, {"Last Modified", 200, 5}};
        for (int column = 1; column <= 3; ++column) {
            const auto& spec = columns[column - 1];
            if (column > heading->GetColumnCount()) heading->InsertColumns(1, column - 1, spec.width);
            heading->SetColumnWidth(column, spec.width);
            heading->SetColumnTitle(column, spec.title, Qt::AlignLeft, spec.offset);
        }
    }
    mThread = nullptr;
    for (PaneIDT id : {kSearchButton, kChooseFolder, kQuery, kHelp})
        if (CPane* pane = FindPaneByID(id)) pane->AddListener(this);
    if (CPane* button = FindPaneByID(kSearchButton))
        if (auto* push = qobject_cast<QPushButton*>(button->GetWidget())) push->setDefault(true);
    ShowArrows(false);
    if (std::optional<std::string> last = GetPreferenceString(kLastFolderPreference))
        if (CPane* folder = FindPaneByID(kFolderField)) folder->SetDescriptor(*last);
    if (CPane* query = FindPaneByID(kQuery)) {
        if (auto* edit = qobject_cast<QLineEdit*>(query->GetWidget())) edit->setMaxLength(255);
        query->MakeKeyboardTarget();
    }
    if (GetWidget() != nullptr) new CLiveResizeAttachment(GetWidget());
    if (CPane* help = FindPaneByID(kHelp))
        if (auto* button = qobject_cast<QAbstractButton*>(help->GetWidget()))
            button->setIcon(QIcon::fromTheme("help-browser", button->style()->standardIcon(QStyle::SP_MessageBoxQuestion)));
}

bool CSearcher::GetPaneHelpText(PaneIDT paneID, std::string& outText)
{
    switch (paneID) {
    case kMatchCase: outText = "Yes: distinguish between upper and lower case"; return true;
    case kIgnoreCase: outText = "No: do not distinguish between upper and lower case"; return true;
    case kAllTerms: outText = "Yes: all search terms must be present in the document for a match"; return true;
    case kAnyTerm: outText = "No: at least one search term must be present in the document for a match"; return true;
    case kWholeWords: outText = "Yes: search terms must exactly match document words"; return true;
    case kSubstrings: outText = "No: search terms can match substrings of document words"; return true;
    case kChooseFolder: outText = "Navigate to a directory of files to search"; return true;
    case kFolderField:
        outText = "Enter the pathname of the directory of files to search or drag a folder into this text field (ex. "
                  "/Users/vell/documents)";
        return true;
    case kHelp: outText = "Help for this window"; return true;
    case kQuery: outText = "Enter the search terms here, separating multiple terms with spaces"; return true;
    case kResults:
        outText = "Search results are shown here hierarchically by folder. Double click an item to open it in the "
                  "proper application. Single click an item to view its preview and word list.";
        return true;
    case kSearchButton: outText = "Start/Stop the search"; return true;
    default: return false;
    }
}

void CSearcher::ListenToMessage(MessageT message, void* ioParam)
{
    switch (message) {
    case kHelp: OpenHelp(); break;
    case kChooseFolder: ChooseFolder(); break;
    case kSearchButton: SearchOrStop(); break;
    case kMsgKeyPress: {
        const std::int32_t character = ioParam != nullptr ? *static_cast<std::int32_t*>(ioParam) : 0;
        if (character == 13 || character == 3) SearchOrStop();
        break;
    }
    default: GGrayscaleWindow::ListenToMessage(message, ioParam); break;
    }
}

void CSearcher::SetSearchFolder(const std::string& path)
{
    if (CPane* folder = FindPaneByID(kFolderField)) folder->SetDescriptor(path);
    mSearchFolder = CFileRef(ExpandHome(path));
}

// Stop comes first: it must work whatever the query field holds.
void CSearcher::SearchOrStop()
{
    if (mSearching) {
        StopSearch();
        return;
    }
    const std::string query = QueryText();
    if (query.empty()) return;
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard != nullptr && clipboard->supportsFindBuffer())
        clipboard->setText(QString::fromStdString(query), QClipboard::FindBuffer);
    if (mThread != nullptr) {
        // A stopped search still winding down: let it finish first.
        mThread->Resume();
        return;
    }
    StartSearch();
}

void CSearcher::StopSearch()
{
    mSearching = false;
    SetCaption(kSearchButton, "Search");
    if (CPane* arrows = FindPaneByID(kArrows)) arrows->StopIdling();
    if (mThread != nullptr) {
        mThread->mCancel = true;
        mThread->Wake();  // it may be waiting for an item's words
        return;
    }
    // No thread will run the end steps (the count of the items failed).
    ShowArrows(false);
    if (CPane* progress = FindPaneByID(kProgress)) progress->Hide();
}

void CSearcher::StartSearch()
{
    CPane* folderField = FindPaneByID(kFolderField);
    if (folderField == nullptr) return;
    const std::string path = ExpandHome(folderField->GetDescriptor());
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0) {
        folderField->SetDescriptor(kInvalidFolderText);
        return;
    }
    if (!S_ISDIR(info.st_mode)) return;
    mSearchFolder = CFileRef(path);
    mSearching = true;
    SetCaption(kSearchButton, "Stop");
    ShowArrows(true);
    mResults->Clear();
    CPane* progress = FindPaneByID(kProgress);
    if (progress != nullptr) {
        progress->Show();
        progress->StartIdling();
    }
    std::uint64_t count = 0;
    if (CountItems(mSearchFolder, count) != 0) return;  // searching until Stop
    if (progress != nullptr) {
        progress->StopIdling();
        progress->SetMinValue(0);
        progress->SetMaxValue(static_cast<std::int32_t>(std::min<std::uint64_t>(count, std::numeric_limits<std::int32_t>::max())));
        progress->SetValue(0);
    }
    mThread = new CSearchIterator(mSearchFolder, this);
    mThread->Resume();
}

// A search that could not read every file says so where the current file
// was shown, in place of the blank of a search that could.
void CSearcher::SearchThreadEnded(CSearchIterator* thread, const std::string& failure)
{
    if (thread != mThread) return;
    SetCaption(kFileCaption, failure.empty() ? " " : failure);
    ShowArrows(false);
    mThread = nullptr;
    SetCaption(kSearchButton, "Search");
    mSearching = false;
    mResults->ExpandRoot();
    if (CPane* progress = FindPaneByID(kProgress)) progress->Hide();
}

void CSearcher::SetCaption(PaneIDT pane, const std::string& text)
{
    if (CPane* found = FindPaneByID(pane)) found->SetDescriptor(text);
}

void CSearcher::SetProgressValue(std::uint64_t value)
{
    if (CPane* progress = FindPaneByID(kProgress))
        progress->SetValue(static_cast<std::int32_t>(std::min<std::uint64_t>(value, std::numeric_limits<std::int32_t>::max())));
}

void CSearcher::ShowArrows(bool shown)
{
    CPane* arrows = FindPaneByID(kArrows);
    if (arrows == nullptr) return;
    if (shown) {
        arrows->Show();
        arrows->StartIdling();
    } else {
        arrows->StopIdling();
        arrows->Hide();
    }
}

std::int32_t CSearcher::OptionValue(PaneIDT group)
{
    CPane* pane = FindPaneByID(group);
    return pane != nullptr ? pane->GetValue() : 0;
}

std::string CSearcher::QueryText()
{
    CPane* query = FindPaneByID(kQuery);
    return query != nullptr ? std::string(CFixedString255(query->GetDescriptor()).c_str()) : std::string();
}

void CSearcher::SetFolderChooser(FolderChooser chooser) { gFolderChooser = std::move(chooser); }

void CSearcher::SetItemCounter(ItemCounter counter) { gItemCounter = std::move(counter); }

void CSearcher::SetCloseWait(std::chrono::milliseconds wait) { gCloseWait = wait; }

void CSearcher::ChooseFolder()
{
    CPane* folderField = FindPaneByID(kFolderField);
    if (folderField == nullptr) return;
    std::string start = ExpandHome(folderField->GetDescriptor());
    if (!IsFolder(start) && !GetLogFolder(start)) start.clear();
    const std::optional<std::string> chosen = gFolderChooser ? gFolderChooser(start) : ChooseWithDialog(GetWidget(), start);
    if (chosen && !chosen->empty()) folderField->SetDescriptor(CFixedString255(*chosen).c_str());
}

// The page lies in the resources the program runs with (installed beside
// it, or the build's); a page that is missing or that the desktop cannot
// open is told, not passed over.
void CSearcher::OpenHelp()
{
    const std::string page = ResourceFolder() + "/" + kHelpPage;
    struct stat info {};
    const int status = ::stat(page.c_str(), &info) != 0 ? ErrnoStatus() : OpenWithDesktop(page);
    if (status == 0) return;
    SAlert alert;
    alert.kind = EAlertKind::kCaution;
    alert.text = kHelpFailure;
    alert.informativeText = page + ": " + std::strerror(-status);
    RunAlert(alert);
}
