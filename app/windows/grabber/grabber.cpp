#include "app/windows/grabber/grabber.h"

#include <array>
#include <chrono>
#include <filesystem>

#include <QApplication>
#include <QIcon>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QTextDocument>

#include "app/framework/print_job.h"
#include "app/framework/recent_items.h"
#include "app/progress/desktop_progress_outlets.h"
#include "app/progress/dock_tile.h"
#include "app/windows/grab_start/grab_window_parts.h"
#include "app/windows/grabber/grabber_layout.h"
#include "app/windows/grabber/time_thread.h"
#include "app/windows/grabber/held_log_lines.h"
#include "app/windows/widgets/dirty_text.h"
#include "app/windows/widgets/elided_caption.h"
#include "app/windows/widgets/live_resize_attachment.h"
#include "app/windows/widgets/widget_panes.h"
#include "engine/config/configuration_files.h"
#include "engine/crawl/site_iterator.h"
#include "engine/crawl/site_iterator_thread.h"
#include "foundation/settings/preference_accessors.h"
#include "foundation/text/text_encodings.h"
#include "foundation/threads/thread_scheduler.h"

using namespace grabber;

namespace {

constexpr const char* kWindowName = "Grabber Window";

struct SHelpText {
    PaneIDT pane;
    bool lowerCaseToo;  // also answers under the ID in lower case ('byte')
    const char* text;
};

constexpr SHelpText kHelpTexts[] = {
    {kURL, true, "Enter the web address of the site or URL you wish to grab"},
    {kMenu, true, "Use this popup menu to change or edit configurations"},
    {kEdit, false, "View or edit the settings of the selected configuration"},
    {kStart, false, "Start, Pause and Resume the download"},
    {kCancel, false, "Stop the download; Close this window"},
    {kSkip, false, "Skip the URL currently being processed"},
    {kStay, false, "Only download URLs whose path begins with the path of the starting URL"},
    {kRecent, false, "Recent items."},
    {kDown, false, "Reveal the download directory in the file manager"},
    {kBrowse, false, "View the file"},
    {kSiteMap, false,
     "View the site map. (If the crawl is not complete then the site map will not be complete either.)"},
    {kSearch, false, "Search the content of the downloaded files"},
    {kHelp, false, "Help for this window"},
    {kText, false,
     "This pane displays the current URL being processed and the server response header for each request"},
    {kTask, false, "This pane displays the current task"},
    {kTime, true, "The current time"},
    {kStartTime, true, "The time the crawl started"},
    {kFinishTime, true, "The time the crawl finished"},
    {kElapsedTime, true, "The elapsed time."},
    {kUnauthorized, true, "The number of requests that required user authorization"},
    {kErrors, true, "The number of requests that were not succesully grabbed."},
    {kRequests, true, "The number of requests made"},
    {kBytes, true, "The total number of bytes downloaded"},
    {kCookies, true, "The total number of cookies encountered"},
    {kMails, true, "The total number of email addresses encountered"},
    {kFileName, true,
     "The file name of the current URL being processed. (Displays the host name if there is no filename)"},
    {kFileSize, true, "The total size (in bytes) of the current file"},
    {kFileReceived, true, "The number of bytes downloaded"},
    {kLevel, true,
     "The current depth of the crawl. The starting URL is the first level. All resources referenced by the "
     "starting URL are the second level and so on..."},
    {kLevelFiles, true, "The number of resources that must be grabbed at the current level"},
    {kLevelIndex, true, "The index of the current URL on the current level"},
    {kNextLevel, true, "The (cumulative) number of resources that must be grabbed on the next level"},
};

constexpr PaneIDT LowerCaseID(PaneIDT id)
{
    PaneIDT lower = 0;
    for (int shift = 24; shift >= 0; shift -= 8) {
        std::uint32_t byte = (id >> shift) & 0xFF;
        if (byte >= 'A' && byte <= 'Z') byte += 'a' - 'A';
        lower |= byte << shift;
    }
    return lower;
}

}  // namespace

CGrabber::CGrabber(const SLayout& layout, CCommander* superCommander, SGrabberLinks links)
    : GGrayscaleWindow(layout, superCommander),
      mLinks(std::move(links)),
      mHeldLogLines(CDirtyText::kCapacity),
      mStayInFolder(ShouldStayInFolder())
{
    SetName(kWindowName);
    mPanes.SetFlushHook([this] { ShowHeldLogLines(); });
}

CGrabber::~CGrabber()
{
    mClosing = true;
    if (mClockThread) mClockThread->Stop();
    mStart.StopCheck();
    if (mThread != nullptr) {
        if (mState == kWindowPaused) mThread->Resume();
        mThread->StopCrawl(false);
    }
    // The crawl writes into the log until it lets go of the window; only
    // then does the log get its closing line.
    WaitForThreads();
    CloseLog();
}

void CGrabber::WaitForThreads()
{
    while (mThread != nullptr || mStart.IsChecking())
        CThreadScheduler::RunUntil([this] { return mThread == nullptr && !mStart.IsChecking(); },
                                   CThreadScheduler::Clock::now() + std::chrono::seconds(1));
}

void CGrabber::FinishCreateSelf()
{
    GGrayscaleWindow::FinishCreateSelf();
    if (Pane(kURL) == nullptr || Pane(kText) == nullptr) ThrowNilPointer("FinishCreateSelf");
    StopSpinner();
    ElideCaptionInMiddle(Pane(kFileName));
    if (CPane* stay = Pane(kStay)) stay->SetValue(mStayInFolder ? 1 : 0);
    if (CPane* clock = Pane(kTime)) {
        mClockThread = std::make_unique<CTimeThread>(clock);
        mClockThread->Resume();
    }
    for (PaneIDT id : {kMenu, kEdit, kCancel, kStart, kDown, kBrowse, kSiteMap, kSearch, kURL, kHelp, kRecent, kStay})
        if (CPane* pane = Pane(id)) pane->AddListener(this);
    EnablePane(kCancel, false);
    if (CPane* start = Pane(kStart))
        if (auto* button = qobject_cast<QPushButton*>(start->GetWidget())) button->setDefault(true);
    const auto setIcon = [this](PaneIDT id, const char* themeName) {
        if (CPane* pane = Pane(id))
            if (auto* button = qobject_cast<QPushButton*>(pane->GetWidget())) button->setIcon(QIcon::fromTheme(themeName));
    };
    setIcon(kDown, "folder");
    setIcon(kSearch, "system-search");
    setIcon(kHelp, "help-browser");
    Pane(kURL)->MakeKeyboardTarget();
    if (GetWidget() != nullptr) new CLiveResizeAttachment(GetWidget());
    if (CPane* recent = Pane(kRecent)) mRecentPopup = std::make_unique<CRecentItemsPopup>(*recent);
    FillConfigurationsMenu();
}

// The configurations popup ------------------------------------------------------------------

void CGrabber::FillConfigurationsMenu()
{
    CPane* menu = Pane(kMenu);
    if (menu == nullptr) return;
    const std::string chosen = mPopupReady ? ChosenConfiguration() : std::string(kDefaultConfigurationName);
    mPopupReady = false;
    menu->RemoveAllMenuItems();
    menu->AppendMenuItem(kDefaultConfigurationName);
    for (const std::string& name : ListConfigurationNames()) menu->AppendMenuItem(name);
    menu->AppendMenuItem(kConfigurationsItem);
    menu->SetMinValue(1);
    menu->SetMaxValue(menu->CountMenuItems());
    mPopupReady = true;
    if (!ChooseConfiguration(chosen)) ChooseConfiguration(kDefaultConfigurationName);
    mPopupValue = menu->GetValue();
}

bool CGrabber::ChooseConfiguration(const std::string& name)
{
    CPane* menu = Pane(kMenu);
    if (menu == nullptr) return false;
    for (int item = 1; item < menu->CountMenuItems(); ++item) {
        if (menu->GetMenuItemText(item) != name) continue;
        const bool ready = mPopupReady;
        mPopupReady = false;
        menu->SetValue(item);
        mPopupReady = ready;
        mPopupValue = item;
        return true;
    }
    return false;
}

std::string CGrabber::ChosenConfiguration() const
{
    CPane* menu = Pane(kMenu);
    if (menu == nullptr || menu->GetValue() < 1 || menu->GetValue() >= menu->CountMenuItems())
        return kDefaultConfigurationName;
    return menu->GetMenuItemText(menu->GetValue());
}

void CGrabber::MenuChosen(std::int32_t item)
{
    CPane* menu = Pane(kMenu);
    if (!mPopupReady || menu == nullptr) return;
    if (item == menu->CountMenuItems()) {
        // The last item opens the configurations window; the choice stays.
        mPopupReady = false;
        menu->SetValue(mPopupValue);
        mPopupReady = true;
        if (CCommander* super = GetSuperCommander()) super->ProcessCommand(kCmdConfigurations);
        return;
    }
    mPopupValue = menu->GetValue();
}

// Messages -----------------------------------------------------------------------------------

void CGrabber::ListenToMessage(MessageT message, void* ioParam)
{
    const std::int32_t value = ioParam != nullptr ? *static_cast<std::int32_t*>(ioParam) : 0;
    switch (message) {
    case kMsgKeyPress:
        if (value != 13 && value != 3) break;
        [[fallthrough]];
    case kStart:
        if (mStart.IsChecking()) break;
        if (mState == kWindowNeverStarted || mState == kWindowDone) StartGrab();
        else if (mState == kWindowRunning) PauseGrab();
        else if (mState == kWindowPaused) ResumeGrab();
        break;
    case kCancel:
        if (mStart.IsChecking()) {
            mStart.StopCheck();
        } else if (mState == kWindowPaused) {
            ResumeGrab();
            StopGrab();
        } else if (mState == kWindowRunning) {
            StopGrab();
        } else {
            AttemptClose();
        }
        break;
    case kStay: mStayInFolder = value == 1; break;
    case kSiteMap: OpenSiteMap(); break;
    case kRecent: RecentItemChosen(value); break;
    case kMenu: MenuChosen(value); break;
    case kHelp: OpenHelp(); break;
    case kEdit: ShowEditConfigurationWindow(ChosenConfiguration()); break;
    case kDown: RevealDownloads(); break;
    case kBrowse:
        if (mHasFile) OpenInDefaultApp(mFileRef.Path());
        break;
    case kSearch:
        if (!mLinks.search) QApplication::beep();
        else if (const std::optional<std::string> folder = DownloadFolderPath()) mLinks.search(*folder);
        break;
    case kMsgConfigurationsChanged: FillConfigurationsMenu(); break;
    default: break;
    }
    ShowChangesNow();
}

bool CGrabber::HandleCommand(CommandT command, void* ioParam)
{
    if (command == kCmdPrint) {
        QPrinter printer;
        if (AskForPrintJob(printer, GetWidget())) DoPrint(printer);
        return true;
    }
    return GGrayscaleWindow::HandleCommand(command, ioParam);
}

bool CGrabber::GetCommandStatus(CommandT command, SCommandStatus& status)
{
    if (command == kCmdPrint) {
        status = SCommandStatus{};
        status.enabled = true;
        return true;
    }
    return GGrayscaleWindow::GetCommandStatus(command, status);
}

bool CGrabber::GetPaneHelpText(PaneIDT paneID, std::string& outText)
{
    for (const SHelpText& entry : kHelpTexts) {
        if (entry.pane == paneID || (entry.lowerCaseToo && LowerCaseID(entry.pane) == paneID)) {
            outText = entry.text;
            return true;
        }
    }
    return GGrayscaleWindow::GetPaneHelpText(paneID, outText);
}

bool CGrabber::AllowClose()
{
    if (mThread == nullptr && !mStart.IsChecking()) return true;
    return AskToCloseDuringGrab();
}

void CGrabber::DoPrint(QPrinter& printer)
{
    ShowChangesNow();
    auto* text = FindPaneAs<CDirtyTextPane>(kText);
    if (text == nullptr || text->Text() == nullptr) ThrowNilPointer("DoPrint");
    text->Text()->document()->print(&printer);
}

void CGrabber::ShowEditConfigurationWindow(const std::string& name)
{
    if (mLinks.editConfiguration) mLinks.editConfiguration(*this, name);
    else QApplication::beep();
}

// Starting -----------------------------------------------------------------------------------

void CGrabber::StartGrab() { mStart.Start(); }

bool CGrabber::BeginGrabStart()
{
    if (mThread != nullptr) return false;
    EnablePane(kMenu, false);
    return true;
}

std::string CGrabber::StartURLText()
{
    CPane* urlPane = Pane(kURL);
    return urlPane != nullptr ? urlPane->GetDescriptor() : std::string();
}

std::string CGrabber::TakeGrabConfiguration()
{
    const std::string name = ChosenConfiguration();
    const CStatus status = LoadConfiguration(name, mConfiguration);
    return status.Failed() ? ConfigurationReadFailure(name, status) : std::string();
}

void CGrabber::TellGrabStart(const std::string& text, bool failure)
{
    if (failure) LogError(text);
    else LogLine(text);
    ShowChangesNow();
}

// Nothing was started: another choice of configuration may follow.
void CGrabber::GrabStartRefused()
{
    EnablePane(kMenu, true);
    ShowChangesNow();
}

void CGrabber::LockStartPanes(bool locked)
{
    EnablePane(kURL, !locked);
    EnablePane(kRecent, !locked);
}

void CGrabber::GrabStartAccepted()
{
    if (FindConfigurationFile(ChosenConfiguration(), mConfigRef).Failed()) mConfigRef = CFileRef();
}

void CGrabber::DisableGrabStart()
{
    EnablePane(kStart, false);
    ShowChangesNow();
}

void CGrabber::ShowStartChecking(const std::string& task)
{
    EnablePane(kStart, false);
    EnablePane(kCancel, true);
    SetButtonTitle(kCancel, "Stop");
    SetStatusText(task);
    ShowChangesNow();
}

bool CGrabber::IsGrabStopRequested() const { return false; }

void CGrabber::EndGrabWithoutCrawl()
{
    EndWithoutCrawl();
    ShowChangesNow();
}

void CGrabber::RestoreAfterBadStartURL()
{
    EndWithoutCrawl();
    LockStartPanes(false);
    ShowChangesNow();
}

void CGrabber::StartCrawl(const CURL& url, CStartAnswer startAnswer)
{
    SetStartURL(url.mURL);
    if (mConfiguration.mMiscOptions.generateLog) OpenLog(url);
    mSiteMapPath.clear();
    SCrawlOptions options = DetailedCrawlOptions();
    options.stayInFolder = &mStayInFolder;
    options.skipBroadcaster = Pane(kSkip);
    mThread = new CSiteIteratorThread(mCrawlListener, options, &mConfiguration, url,
                                      DesktopCrawlCollaborators(std::move(startAnswer)));
    mThread->Resume();
    EnablePane(kStart, true);
    mState = kWindowRunning;
    ShowChangesNow();
}

void CGrabber::EndWithoutCrawl()
{
    StopSpinner();
    SetStatusText("Idle");
    SetButtonTitle(kCancel, "Close");
    EnablePane(kStart, true);
    EnablePane(kMenu, true);
}

// Pause, resume, stop ---------------------------------------------------------------------------

void CGrabber::PauseGrab()
{
    if (mThread == nullptr) return;
    mThread->Suspend();
    mState = kWindowPaused;
    SetButtonTitle(kStart, "Resume");
    LogLine("Grabber Paused.");
    (void)FlushLog(&mLog);  // a failure is kept by the log and told when the crawl ends
    ShowChangesNow();
    std::int32_t level = 0, index = 0, count = 0;
    mThread->GetProgress(level, index, count);
    DrawDockTilePaused(level, index, count);
}

void CGrabber::ResumeGrab()
{
    if (mThread == nullptr) return;
    mThread->Resume();
    mState = kWindowRunning;
    SetButtonTitle(kStart, "Pause");
    LogLine("Grabber Resumed.");
    ShowChangesNow();
    std::int32_t level = 0, index = 0, count = 0;
    mThread->GetProgress(level, index, count);
    DrawDockTileProgress(level, index, count);
}

void CGrabber::StopGrab()
{
    if (mThread == nullptr) return;
    LogLine("Grabber stopping at your request.");
    EnablePane(kCancel, false);
    EnablePane(kStart, false);
    mThread->StopCrawl(false);
    mState = kWindowDone;
    (void)FlushLog(&mLog);
    ShowChangesNow();
}

void CGrabber::SetStartURL(const std::string& text)
{
    if (CPane* url = Pane(kURL)) url->SetDescriptor(text);
}

// The crawl's side ------------------------------------------------------------------------------

void CGrabber::SetCrawlState(std::int32_t state)
{
    mState = state;
    // The crawl still exists when it reports its end: where its site map
    // goes is kept for 'SMAP' after the crawl object is gone.
    if (state == kWindowDone && mThread != nullptr && mThread->Driver() != nullptr)
        mSiteMapPath = SiteMapPathOf(*mThread, mConfiguration);
}

void CGrabber::StartSpinner() { StartSpinning(Pane(kSpin)); }

void CGrabber::StopSpinner() { StopSpinning(Pane(kSpin)); }

void CGrabber::CrawlThreadEnded(CSiteIteratorThread* thread)
{
    if (thread != mThread) return;
    mThread = nullptr;
    if (mState == kWindowRunning || mState == kWindowPaused) mState = kWindowDone;
    if (mClosing) return;
    // Told in the pane only: the log itself is what fails.
    if (const std::string failure = TakeGrabLogFailure(mLog); !failure.empty()) ShowLogLine(failure, true);
    // 'CNCL' now closes the window; 'Star' starts a new grab.
    EnablePane(kCancel, true);
    EnablePane(kStart, true);
    EnablePane(kMenu, true);
    EnableSkipButton(false);
    // The grab's last state, exactly and at once.
    ShowChangesNow();
}

void CGrabber::SetFirstFile(const CFileRef& file)
{
    mHasFile = true;
    mFileRef = file;
}

void CGrabber::EnableFileButtons(bool withSiteMap)
{
    EnablePane(kBrowse, true);
    EnablePane(kDown, true);
    if (withSiteMap) EnablePane(kSiteMap, true);
}

void CGrabber::AppendToTitle(const std::string& text)
{
    if (!mTitleBeforeHost) mTitleBeforeHost = GetTitle();
    SetTitle(*mTitleBeforeHost + text);
}

void CGrabber::SetStatusText(const std::string& text) { SetPaneText(kTask, text); }

std::int32_t CGrabber::GetProgressValue() const
{
    if (std::optional<std::int32_t> held = mPanes.HeldValue(kFileProgress)) return *held;
    CPane* bar = Pane(kFileProgress);
    return bar != nullptr ? bar->GetValue() : 0;
}

void CGrabber::EnableSkipButton(bool enabled) { EnablePane(kSkip, enabled); }

void CGrabber::LogText(const std::string& text) { AppendLog(text, false); }

void CGrabber::LogError(const std::string& text) { AppendLog(text, true); }

void CGrabber::AppendToLogFile(const std::string& text) { mLogWriter.Append(text); }

void CGrabber::AppendLog(const std::string& text, bool error)
{
    ShowLogLine(text, error);
    mLogWriter.AppendLine(text);
}

void CGrabber::ShowLogLine(const std::string& text, bool error)
{
    mHeldLogLines.Add(text, error);
    mPanes.Changed();
}

void CGrabber::ShowHeldLogLines()
{
    // Lines the pane would clear at once are never laid out.
    const HeldLogRuns lines = mHeldLogLines.Take();
    auto* pane = FindPaneAs<CDirtyTextPane>(kText);
    if (pane == nullptr || pane->Text() == nullptr) return;
    // Lines of one kind go in together, and the pane draws the batch with
    // the window's next paint, not one paint per run (and another for each
    // time it empties itself).
    for (const auto& [text, error] : lines) {
        if (error) pane->Text()->InsertRedText(text, false);
        else pane->Text()->Insert(text, false);
    }
}

void CGrabber::SetPaneText(PaneIDT pane, std::string_view text) { mPanes.SetText(pane, text); }

void CGrabber::SetPaneValue(PaneIDT pane, std::int32_t value) { mPanes.SetValue(pane, value); }

std::int32_t CGrabber::GetPaneMinValue(PaneIDT pane) const
{
    CPane* found = Pane(pane);
    return found != nullptr ? found->GetMinValue() : 0;
}

std::int32_t CGrabber::GetPaneMaxValue(PaneIDT pane) const
{
    CPane* found = Pane(pane);
    return found != nullptr ? found->GetMaxValue() : 100;
}

void CGrabber::SetButtonTitle(PaneIDT pane, const std::string& title) { SetPaneText(pane, title); }

// Helpers ----------------------------------------------------------------------------------------

void CGrabber::OpenLog(const CURL& startURL)
{
    std::string failure;
    std::string path = OpenGrabLog(mLog, mConfiguration, startURL, failure);
    if (!path.empty()) mLogPath = std::move(path);
    else LogLine(failure);
}

void CGrabber::CloseLog() { StopLoggingTellingFailure(mLog); }

void CGrabber::EnablePane(PaneIDT pane, bool enabled) { mPanes.SetEnabled(pane, enabled); }

CPane* CGrabber::Pane(PaneIDT pane) const
{
    if (const auto found = mFoundPanes.find(pane); found != mFoundPanes.end()) return found->second;
    CPane* found = const_cast<CGrabber*>(this)->FindPaneByID(pane);
    if (found != nullptr) mFoundPanes.emplace(pane, found);
    return found;
}

std::optional<std::string> CGrabber::DownloadFolderPath()
{
    const std::string name = ChosenConfiguration();
    CConfiguration configuration;
    if (const CStatus status = LoadConfiguration(name, configuration); status.Failed()) {
        LogError(ConfigurationReadFailure(name, status));
        ShowChangesNow();
        return std::nullopt;
    }
    return std::string(configuration.mGeneralOptions.localPath.c_str());
}

void CGrabber::RevealDownloads()
{
    if (const std::optional<std::string> folder = DownloadFolderPath()) OpenInDefaultApp(*folder);
}

void CGrabber::OpenSiteMap() { ShowSiteMap(mThread, mConfiguration, mSiteMapPath); }

void CGrabber::RecentItemChosen(std::int32_t item)
{
    if (!mRecentPopup) return;
    if (std::optional<std::string> url = mRecentPopup->Choose(item)) SetStartURL(*url);
}

void CGrabber::OpenHelp() { OpenInDefaultApp(ResourceFolder() + "/help/grabber.html"); }

// Every window ---------------------------------------------------------------------------------

void CGrabber::CloseAllGrabbers()
{
    for (CGrabber* window : WindowsOfClass<CGrabber>()) delete window;
}

bool CGrabber::IsAnyGrabberRunning()
{
    for (CGrabber* window : WindowsOfClass<CGrabber>())
        if (window->mState == kWindowRunning || window->mState == kWindowPaused || window->mStart.IsChecking())
            return true;
    return false;
}

void CGrabber::NotifyConfigurationsChanged()
{
    for (CGrabber* window : WindowsOfClass<CGrabber>()) window->ListenToMessage(kMsgConfigurationsChanged, nullptr);
}
