#include "app/windows/quicker_grabber/quicker_grabber.h"

#include <chrono>
#include <filesystem>

#include <QAbstractButton>
#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QStyle>
#include <QFont>
#include <QWidget>

#include "app/framework/recent_items.h"
#include "app/framework/reveal_file.h"
#include "app/framework/scheduler_driver.h"
#include "app/progress/desktop_progress_outlets.h"
#include "app/progress/dock_tile.h"
#include "app/windows/grab_start/grab_window_parts.h"
#include "app/windows/quicker_grabber/framed_mona.h"
#include "app/windows/quicker_grabber/quicker_grabber_layout.h"
#include "app/windows/widgets/live_resize_attachment.h"
#include "app/windows/widgets/quicktime_view.h"
#include "app/windows/widgets/widget_panes.h"
#include "engine/crawl/crawl_preferences.h"
#include "engine/crawl/site_iterator.h"
#include "engine/crawl/site_iterator_thread.h"
#include "engine/transfer/owner_requests.h"
#include "foundation/files/file.h"
#include "foundation/settings/preference_accessors.h"
#include "foundation/text/text_encodings.h"
#include "foundation/threads/thread_scheduler.h"

using namespace quickergrabber;

namespace {

constexpr const char* kWindowName = "Grab Quick Window";

}  // namespace

CQuickerGrabber::CQuickerGrabber(const SLayout& layout, CCommander* superCommander)
    : GGrayscaleWindow(layout, superCommander), mStayInFolder(ShouldStayInFolder())
{
    SetName(kWindowName);
}

CQuickerGrabber::~CQuickerGrabber()
{
    mClosing = true;
    mStart.StopCheck();
    if (mState == kWindowPaused) ResumeGrab();
    if (mThread != nullptr) StopGrab(false);
    WaitForThreads();
    CloseLog();
}

void CQuickerGrabber::WaitForThreads()
{
    while (mThread != nullptr || mStart.IsChecking())
        CThreadScheduler::RunUntil([this] { return mThread == nullptr && !mStart.IsChecking(); },
                                   CThreadScheduler::Clock::now() + std::chrono::seconds(1));
}

void CQuickerGrabber::FinishCreateSelf()
{
    GGrayscaleWindow::FinishCreateSelf();
    if (CPane* slides = FindPaneByID(kSlide)) {
        slides->AddListener(this);
        mSlideShow = slides->GetValue() == 1;
    }
    if (auto* image = FindPaneAs<CQuickTimeViewPane>(kImage)) {
        image->View()->SetImage(std::make_unique<CImageImporter>(MakeFramedMona()));
        mMediaMode = true;
        if (CPane* levels = FindPaneByID(kOnly)) {
            levels->SetValue(GetDecimalPreference("Media Grabber Levels").value_or(1));
            mLevels = levels->GetValue();
            levels->AddListener(this);
        }
        if (CPane* media = FindPaneByID(kMedia)) {
            media->SetValue(GetDecimalPreference("Image Grabber Type").value_or(1));
            mMediaType = media->GetValue();
            ShowMediaPanes(mMediaType == 1);
            media->AddListener(this);
        }
        if (CPane* flatten = FindPaneByID(kFlat)) flatten->SetValue(IsPreferenceNotFalse("Flatten When Saving") ? 1 : 0);
    }
    if (CPane* stay = FindPaneByID(kStay)) {
        stay->SetValue(mStayInFolder ? 1 : 0);
        stay->AddListener(this);
    }
    SetGrabButton(kGrab, "Grab");
    for (PaneIDT id : {kGrab, kPause}) {
        if (CPane* button = FindPaneByID(id)) {
            button->AddListener(this);
            button->Enable();
        }
    }
    StopSpinner();
    CPane* url = FindPaneByID(kURL);
    if (url == nullptr) ThrowNilPointer("FinishCreateSelf");
    url->AddListener(this);
    url->MakeKeyboardTarget();
    for (PaneIDT id : {kDown, kBrowse, kSiteMap})
        if (CPane* button = FindPaneByID(id)) button->AddListener(this);
    SetDownButtonIcon("folder", QStyle::SP_DirIcon);
    for (PaneIDT id : {kMess, kTask, kByte, kCrnt}) {
        CPane* caption = FindPaneByID(id);
        if (caption == nullptr || caption->GetWidget() == nullptr) continue;
        QFont small = caption->GetWidget()->font();
        small.setPointSizeF(small.pointSizeF() * 0.9);
        caption->GetWidget()->setFont(small);
    }
    // What failed, and where, can outgrow one line: it wraps rather than
    // widen the window or lose its end.
    if (CPane* message = FindPaneByID(kMess))
        if (auto* label = qobject_cast<QLabel*>(message->GetWidget())) label->setWordWrap(true);
    if (GetWidget() != nullptr) new CLiveResizeAttachment(GetWidget());
    if (CPane* recent = FindPaneByID(kRecent)) {
        mRecentPopup = std::make_unique<CRecentItemsPopup>(*recent);
        recent->AddListener(this);
    }
}

// Messages ---------------------------------------------------------------------------------

void CQuickerGrabber::ListenToMessage(MessageT message, void* ioParam)
{
    const auto value = [ioParam] { return ioParam != nullptr ? *static_cast<std::int32_t*>(ioParam) : 0; };
    switch (message) {
    case kGrab: StartGrab(); break;
    case kMsgKeyPress: {
        const std::int32_t character = ioParam != nullptr ? *static_cast<std::int32_t*>(ioParam) : 0;
        CPane* grab = FindPaneByID(kGrab);
        if ((character == 13 || character == 3) && grab != nullptr && grab->IsVisibleAndEnabled() &&
            mGrabMessage == kGrab)
            StartGrab();
        break;
    }
    case kMsgStop:
        SetPaneText(kMess, "Stopping. Please wait.");
        EnablePane(kGrab, false);
        if (mStart.IsChecking()) {
            StopGrab(false);
        } else if (mState == kWindowPaused) {
            ResumeGrab();
            StopGrab(false);
        } else if (mState == kWindowRunning) {
            StopGrab(false);
        } else if (mThread == nullptr) {
            EndWithoutCrawl("Aborted.");
        }
        break;
    case kPause:
        if (mState == kWindowRunning) PauseGrab();
        else if (mState == kWindowPaused) ResumeGrab();
        break;
    case kMsgDone: AttemptClose(); break;
    case kBrowse:
        if (mHasFile) OpenInDefaultApp(mFileRef.Path());
        break;
    case kDown: RevealDownloads(); break;
    case kMedia:
        mMediaType = value();
        ShowMediaPanes(mMediaType == 1);
        break;
    case kOnly: mLevels = value(); break;
    case kSlide: mSlideShow = value() == 1; break;
    case kSiteMap: OpenSiteMap(); break;
    case kStay: mStayInFolder = value() == 1; break;
    case kRecent: RecentItemChosen(value()); break;
    default: break;
    }
    ShowChangesNow();
}

bool CQuickerGrabber::GetPaneHelpText(PaneIDT paneID, std::string& outText)
{
    switch (paneID) {
    case kBrowse:
        outText = "View the file of the starting URL (note that until further levels are downloaded it probably "
                  "will not display properly)";
        return true;
    case kDown:
        outText = mOnePage ? "Reveal the downloaded file in the file manager"
                            : "Reveal the download directory in the file manager";
        return true;
    case kFlat:
        outText = "If checked all media (images, movies,...) will be saved in the top level host directories they "
                  "reside in";
        return true;
    case kGrab: outText = "Start or Stop the download"; return true;
    case kMedia: outText = "Choose the type of media to grab"; return true;
    case kMess: outText = "This pane displays the current URL being processed"; return true;
    case kOnly: outText = "Choose search depth"; return true;
    case kRecent: outText = "Recent items."; return true;
    case kSlide: outText = "Check/Uncheck to start/stop the slide show"; return true;
    case kSiteMap:
        outText = "View the site map. (If the crawl is not complete then the site map will not be complete either.)";
        return true;
    case kStay: outText = "When checked only grabs URLs whose path begins with the path of the starting URL"; return true;
    case kURL: outText = "Enter the web address of the site or URL you wish to grab"; return true;
    default: return GGrayscaleWindow::GetPaneHelpText(paneID, outText);
    }
}

bool CQuickerGrabber::AllowClose()
{
    if (mThread == nullptr && !mStart.IsChecking()) return true;
    return AskToCloseDuringGrab();
}

// Starting ---------------------------------------------------------------------------------

void CQuickerGrabber::StartGrab() { mStart.Start(); }

bool CQuickerGrabber::BeginGrabStart()
{
    if (mState != kWindowNeverStarted) return false;
    mStopping = false;
    return true;
}

std::string CQuickerGrabber::StartURLText()
{
    CPane* urlPane = FindPaneByID(kURL);
    return urlPane != nullptr ? urlPane->GetDescriptor() : std::string();
}

std::string CQuickerGrabber::TakeGrabConfiguration()
{
    // A quick grab has no choice of configuration: always the built-in one,
    // whichever configuration the grabber window prefers.
    mConfiguration = CConfiguration();
    return {};
}

void CQuickerGrabber::TellGrabStart(const std::string& text, bool)
{
    SetMessageText(text);
    ShowChangesNow();
}

void CQuickerGrabber::GrabStartRefused() {}

void CQuickerGrabber::LockStartPanes(bool locked)
{
    for (PaneIDT id : {kURL, kRecent, kOnly, kMedia, kFlat}) EnablePane(id, !locked);
}

void CQuickerGrabber::GrabStartAccepted() {}

void CQuickerGrabber::DisableGrabStart()
{
    EnablePane(kGrab, false);
    ShowChangesNow();
}

void CQuickerGrabber::ShowStartChecking(const std::string& task)
{
    SetGrabButton(kMsgStop, "Stop");
    ShowPane(kLevel, !mOnePage);
    SetTaskText(task);
    ShowChangesNow();
}

bool CQuickerGrabber::IsGrabStopRequested() const { return mStopping; }

void CQuickerGrabber::EndGrabWithoutCrawl() { EndWithoutCrawl("Aborted."); }

void CQuickerGrabber::RestoreAfterBadStartURL()
{
    // The user may correct the URL and grab again.
    SetTaskText("Idle");
    ShowPane(kLevel, false);
    LockStartPanes(false);
    SetGrabButton(kGrab, "Grab");
    ShowChangesNow();
}

void CQuickerGrabber::StartCrawl(const CURL& url, CStartAnswer startAnswer)
{
    SetStartURL(url.mURL);
    if (GetGenerateLogPreference()) OpenLog(url);
    SCrawlOptions options = BriefCrawlOptions();
    options.stayInFolder = &mStayInFolder;
    options.onePage = mOnePage;
    options.mediaMode = mMediaMode;
    options.mediaLevels = mLevels;
    options.mediaType = mMediaType;
    options.flatten = IsFlattenWhenSaving();
    StartSpinner();
    mThread = new CSiteIteratorThread(mCrawlListener, options, &mConfiguration, url,
                                      DesktopCrawlCollaborators(std::move(startAnswer)));
    mThread->Resume();
    ShowPane(kPause, true);
    mState = kWindowRunning;
    ShowChangesNow();
}

void CQuickerGrabber::EndWithoutCrawl(const std::string& message)
{
    StopSpinner();
    SetTaskText("Idle");
    SetMessageText(message);
    HideLevelProgress();
    HidePauseButton();
    mState = kWindowDone;
    SetGrabButtonDone();
    ShowChangesNow();
}

void CQuickerGrabber::SetGrabButton(MessageT message, const char* title)
{
    mGrabMessage = message;
    if (CPane* grab = FindPaneByID(kGrab)) {
        grab->SetValueMessage(message);
        grab->SetDescriptor(title);
    }
}

// Pause, resume, stop ----------------------------------------------------------------------

void CQuickerGrabber::PauseGrab() { SetPaused(true); }

void CQuickerGrabber::ResumeGrab() { SetPaused(false); }

void CQuickerGrabber::SetPaused(bool paused)
{
    if (mThread == nullptr) return;
    if (paused) mThread->Suspend();
    else mThread->Resume();
    mState = paused ? kWindowPaused : kWindowRunning;
    if (CPane* pause = FindPaneByID(kPause)) pause->SetDescriptor(paused ? "Resume" : "Pause");
    SetPaneText(kMess, paused ? "Grabber paused." : "Grabber Resumed.");
    std::int32_t level = 0, index = 0, count = 0;
    mThread->GetProgress(level, index, count);
    if (paused) DrawDockTilePaused(level, index, count);
    else DrawDockTileProgress(level, index, count);
    if (paused) (void)FlushLog(&mLog);  // a failure is kept by the log and told when it closes
    ShowChangesNow();
}

void CQuickerGrabber::StopGrab(bool byError)
{
    HidePauseButton();
    mStopping = true;
    mStart.StopCheck();
    if (mThread != nullptr) {
        mThread->StopCrawl(byError);
        mState = kWindowDone;
    }
    (void)FlushLog(&mLog);
    ShowChangesNow();
}

void CQuickerGrabber::SetDownloadOnePage()
{
    mOnePage = true;
    SetTitle("Download One Page");
    SetPaneText(kDown, "Show File");
    SetDownButtonIcon("text-x-generic", QStyle::SP_FileIcon);
    ShowChangesNow();
}

void CQuickerGrabber::SetDownButtonIcon(const char* themeName, int standardIcon)
{
    CPane* down = FindPaneByID(kDown);
    auto* button = down != nullptr ? qobject_cast<QAbstractButton*>(down->GetWidget()) : nullptr;
    if (button == nullptr) return;
    const QIcon fallback = button->style()->standardIcon(static_cast<QStyle::StandardPixmap>(standardIcon));
    button->setIcon(QIcon::fromTheme(QString::fromLatin1(themeName), fallback));
}

// The user's field: set at once, never held.
void CQuickerGrabber::SetStartURL(const std::string& text)
{
    if (CPane* url = FindPaneByID(kURL)) url->SetDescriptor(text);
}

// The crawl's side -------------------------------------------------------------------------

void CQuickerGrabber::StartSpinner() { StartSpinning(FindPaneByID(kSpin)); }

void CQuickerGrabber::StopSpinner() { StopSpinning(FindPaneByID(kSpin)); }

void CQuickerGrabber::CrawlThreadEnded(CSiteIteratorThread* thread)
{
    if (thread != mThread) return;
    mThread = nullptr;
    if (mState == kWindowRunning || mState == kWindowPaused) mState = kWindowDone;
    if (mGrabMessage != kMsgDone && !mClosing) SetGrabButtonDone();
    // The thread has written the window's last line by now.
    CloseLog();
    // The grab's last state, exactly and at once.
    if (!mClosing) {
        FlushProgress();
        ShowChangesNow();
    }
}

void CQuickerGrabber::SetFirstFile(const CFileRef& file)
{
    mHasFile = true;
    mFileRef = file;
}

void CQuickerGrabber::EnableFileButtons(bool withSiteMap)
{
    EnablePane(kBrowse, true);
    EnablePane(kDown, true);
    if (withSiteMap) EnablePane(kSiteMap, true);
}

void CQuickerGrabber::AppendToTitle(const std::string& text) { SetTitle(GetTitle() + text); }

void CQuickerGrabber::SetTaskText(const std::string& text)
{
    SetPaneText(kTask, text);
    mLogWriter.AppendLine(text);
}

void CQuickerGrabber::SetMessageText(const std::string& text)
{
    SetPaneText(kMess, text);
    mLogWriter.AppendLine(text);
}

void CQuickerGrabber::PostProgress(std::int64_t bytes, std::int64_t size, std::int64_t rate)
{
    // Called on the transfer's OS thread: without a pass the text would wait
    // for the next unrelated event to be shown.
    if (mProgress.Post(ProgressText(bytes, size, rate))) CSchedulerDriver::Poke();
}

void CQuickerGrabber::FlushProgress()
{
    if (std::optional<std::string> text = mProgress.Take()) SetPaneText(kByte, *text);
}

void CQuickerGrabber::ShowLevelProgress()
{
    ShowPane(kProgress, true);
    if (!mOnePage) ShowPane(kLevel, true);
}

void CQuickerGrabber::HideLevelProgress()
{
    ShowPane(kProgress, false);
    if (!mOnePage) ShowPane(kLevel, false);
}

void CQuickerGrabber::SetProgressRange(std::int32_t minimum, std::int32_t maximum)
{
    mPanes.SetRange(kProgress, minimum, maximum);
}

void CQuickerGrabber::SetLevelProgress(std::int32_t level, std::int32_t value)
{
    mPanes.SetValue(kProgress, value);
    if (!mOnePage) SetPaneText(kLevel, "Level: " + std::to_string(level));
}

void CQuickerGrabber::SetProgressText(const std::string& text)
{
    SetPaneText(kCrnt, text);
    ShowPane(kCrnt, true);
}

void CQuickerGrabber::HideProgressText() { ShowPane(kCrnt, false); }

void CQuickerGrabber::HidePauseButton() { ShowPane(kPause, false); }

void CQuickerGrabber::SetGrabButtonDone()
{
    // The crawl still exists here; where its site map goes is kept for 'SMAP'.
    if (mThread != nullptr && mThread->Driver() != nullptr)
        mSiteMapPath = SiteMapPathOf(*mThread, mConfiguration);
    SetGrabButton(kMsgDone, "Done");
    EnablePane(kGrab, true);
}

void CQuickerGrabber::AppendToLogFile(const std::string& text) { mLogWriter.Append(text); }

bool CQuickerGrabber::IsFlattenWhenSaving() const
{
    const CPane* flatten = const_cast<CQuickerGrabber*>(this)->FindPaneByID(kFlat);
    return flatten != nullptr && flatten->GetValue() == 1;
}

void CQuickerGrabber::ShowMediaURL(const std::string& url)
{
    if (!mMediaMode || !mSlideShow) return;
    auto* image = FindPaneAs<CQuickTimeViewPane>(kImage);
    if (image == nullptr) return;
    // The site login goes only to the crawl's start host, as the crawl's own
    // requests do: media often lives on other hosts.
    std::string user, password;
    OwnerSiteLoginFor(mThread != nullptr ? mThread->Driver() : nullptr, CURL(url).mHost, user, password);
    std::unique_ptr<CImageImporter> picture = CImageImporter::FromURL(url, user, password);
    // The window may have been told to close meanwhile; its panes still stand.
    if (auto* view = FindPaneAs<CQuickTimeViewPane>(kImage)) view->View()->SetImage(std::move(picture));
}

// Helpers ------------------------------------------------------------------------------------

void CQuickerGrabber::OpenLog(const CURL& startURL)
{
    std::string failure;
    std::string path = OpenGrabLog(mLog, mConfiguration, startURL, failure);
    if (!path.empty()) mLogPath = std::move(path);
    else SetMessageText(failure);
}

void CQuickerGrabber::CloseLog()
{
    // Shown once the log is closed, so it is not written into the log that fails.
    if (const std::string failure = StopLoggingTellingFailure(mLog); !failure.empty() && !mClosing) SetMessageText(failure);
}

void CQuickerGrabber::SetPaneText(PaneIDT pane, std::string_view text) { mPanes.SetText(pane, text); }

void CQuickerGrabber::ShowChangesNow() { mPanes.Flush(); }

void CQuickerGrabber::ShowPane(PaneIDT pane, bool visible) { mPanes.SetVisible(pane, visible); }

void CQuickerGrabber::EnablePane(PaneIDT pane, bool enabled) { mPanes.SetEnabled(pane, enabled); }

void CQuickerGrabber::ShowMediaPanes(bool show)
{
    ShowPane(kImage, show);
    ShowPane(kSlide, show);
}

void CQuickerGrabber::RevealDownloads()
{
    if (mOnePage && mHasFile) {
        RevealFile(mFileRef.Path());
        return;
    }
    // The folder the grab mirrors into: the built-in configuration's, which
    // mConfiguration holds before, during and after a grab.
    OpenInDefaultApp(mConfiguration.mGeneralOptions.localPath.c_str());
}

void CQuickerGrabber::OpenSiteMap() { ShowSiteMap(mThread, mConfiguration, mSiteMapPath); }

void CQuickerGrabber::RecentItemChosen(std::int32_t item)
{
    if (!mRecentPopup) return;
    if (std::optional<std::string> url = mRecentPopup->Choose(item)) SetStartURL(*url);
}

// Every window -------------------------------------------------------------------------------

void CQuickerGrabber::CloseAllQuickerGrabbers()
{
    for (CQuickerGrabber* window : WindowsOfClass<CQuickerGrabber>()) delete window;
}

bool CQuickerGrabber::IsAnyQuickerGrabberRunning()
{
    for (CQuickerGrabber* window : WindowsOfClass<CQuickerGrabber>())
        if (window->mState == kWindowRunning || window->mState == kWindowPaused || window->mStart.IsChecking())
            return true;
    return false;
}

void CQuickerGrabber::NotifyConfigurationsChanged()
{
    for (CQuickerGrabber* window : WindowsOfClass<CQuickerGrabber>())
        window->ListenToMessage(kMsgConfigurationsChanged, nullptr);
}
