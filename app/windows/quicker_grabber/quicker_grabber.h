// CQuickerGrabber: the window a user meets first. One start URL, a Grab
// button, and what the crawl reports: the task, a message line, the byte
// progress of the transfer, the level progress. Two more variants share the
// class: "Download One Page" (the start page and what it contains) and the
// media grabber (layout 2111: levels, media type, flattening and a slide
// show of the grabbed images).
//
// A grab goes: StartGrab refuses an empty URL or a download folder that
// cannot be made; otherwise 'GRAB' becomes 'STOP' and a CStartURLThread
// follows the start page's redirections on a cooperative thread while the
// window stays live; when it reports, the URL is parsed and the crawl thread
// (CSiteIteratorThread) starts. A stop while the URL is checked ends the
// check and the grab; a URL that does not parse gives the window back its
// 'GRAB' button.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "app/framework/grayscale_window.h"
#include "app/progress/pane_changes.h"
#include "app/windows/grab_start/grab_window_parts.h"
#include "app/windows/quicker_grabber/progress_text.h"
#include "app/windows/quicker_grabber/quicker_crawl_listener.h"
#include "app/windows/grab_start/grab_start.h"
#include "engine/config/configuration.h"
#include "foundation/files/file_ref.h"
#include "foundation/settings/log_file.h"

class CRecentItemsPopup;
class CSiteIteratorThread;

class CQuickerGrabber : public GGrayscaleWindow, private CGrabStartWindow, private CQuickerCrawlView {
public:
    CQuickerGrabber(const SLayout& layout, CCommander* superCommander);
    ~CQuickerGrabber() override;

    // The user's side ---------------------------------------------------------------
    void StartGrab();
    void PauseGrab();
    void ResumeGrab();
    void StopGrab(bool byError);
    void SetDownloadOnePage();
    void SetStartURL(const std::string& text);

    void ListenToMessage(MessageT message, void* ioParam) override;
    bool GetPaneHelpText(PaneIDT paneID, std::string& outText) override;
    // While a grab is active, asks first (dialog 2128); closing stops it.
    bool AllowClose() override;

    // ECrawlWindowState.
    std::int32_t GetState() const { return mState; }
    bool IsStopping() const { return mStopping; }
    bool IsCheckingStartURL() const { return mStart.IsChecking(); }
    bool IsCrawling() const { return mThread != nullptr; }
    // The log file of the last grab ("" when none was kept) and whether it is open.
    const std::string& LogFilePath() const { return mLogPath; }
    bool IsLogOpen() const { return mLog.IsOpen(); }
    // The site map the last crawl wrote ("" before one was written).
    const std::string& SiteMapPath() const { return mSiteMapPath; }

    // The main thread: shows the newest byte-progress text.
    void FlushProgress();

    // Over every open quicker grabber.
    static void CloseAllQuickerGrabbers();
    static bool IsAnyQuickerGrabberRunning();
    static void NotifyConfigurationsChanged();

    // Any OS thread: formats the text and leaves it for FlushProgress.
    void PostProgress(std::int64_t bytes, std::int64_t size, std::int64_t rate) override;

    // The variants, as the next crawl's options take them: "Download One
    // Page", the media grabber with its levels (mLevels) and media type
    // (mMediaType, 1 images), "Flatten When Saving".
    bool IsDownloadOnePage() const override { return mOnePage; }
    bool IsMediaGrabber() const { return mMediaMode; }
    bool IsFlattenWhenSaving() const;
    std::int32_t GetMediaLevels() const { return mLevels; }
    std::int32_t GetMediaType() const { return mMediaType; }

protected:
    void FinishCreateSelf() override;

private:
    // CQuickerCrawlView: what the crawl changes, through mCrawlListener ------------------
    void SetCrawlState(std::int32_t state) override { mState = state; }
    void StopSpinner() override;
    void CrawlThreadEnded(CSiteIteratorThread* thread) override;
    void SetFirstFile(const CFileRef& file) override;
    void EnableFileButtons(bool withSiteMap) override;
    void AppendToTitle(const std::string& text) override;
    void SetTaskText(const std::string& text) override;
    void SetMessageText(const std::string& text) override;
    void ShowLevelProgress() override;
    void HideLevelProgress() override;
    void SetProgressRange(std::int32_t minimum, std::int32_t maximum) override;
    void SetLevelProgress(std::int32_t level, std::int32_t value) override;
    void SetProgressText(const std::string& text) override;
    void HideProgressText() override;
    void HidePauseButton() override;
    void EnablePane(PaneIDT pane, bool enabled) override;
    void SetGrabButtonDone() override;
    void AppendToLogFile(const std::string& text) override;
    void ShowMediaURL(const std::string& url) override;

    void StartSpinner();

    // CGrabStartWindow ------------------------------------------------------------------
    bool BeginGrabStart() override;
    std::string StartURLText() override;
    std::string TakeGrabConfiguration() override;
    CConfiguration& GrabConfiguration() override { return mConfiguration; }
    void TellGrabStart(const std::string& text, bool failure) override;
    void GrabStartRefused() override;
    void LockStartPanes(bool locked) override;
    void GrabStartAccepted() override;
    void DisableGrabStart() override;
    void ShowStartChecking(const std::string& task) override;
    bool IsGrabWindowClosing() const override { return mClosing; }
    bool IsGrabStopRequested() const override;
    void EndGrabWithoutCrawl() override;
    void RestoreAfterBadStartURL() override;
    void StartCrawl(const CURL& url, CStartAnswer startAnswer) override;

    // The system's folder or file icon on 'Down' (a QStyle::StandardPixmap
    // where the icon theme has none).
    void SetDownButtonIcon(const char* themeName, int standardIcon);
    // Suspends or resumes the crawl, with the 'PAUS' title, the message and the tile.
    void SetPaused(bool paused);
    // The 'GRAB' button's message and title.
    void SetGrabButton(MessageT message, const char* title);
    // A grab that ends before its crawl began (stopped during the check).
    void EndWithoutCrawl(const std::string& message);
    void OpenLog(const CURL& startURL);
    void CloseLog();
    // Held in mPanes; ShowChangesNow shows them after a user's action and
    // at the end of a grab.
    void SetPaneText(PaneIDT pane, std::string_view text);
    void ShowChangesNow();
    void ShowPane(PaneIDT pane, bool visible);
    void ShowMediaPanes(bool show);
    void RevealDownloads();
    void OpenSiteMap();
    void RecentItemChosen(std::int32_t item);
    // Waits cooperatively until neither thread holds the window.
    void WaitForThreads();

    std::int32_t mState = kWindowNeverStarted;
    bool mStopping = false;
    bool mClosing = false;
    CConfiguration mConfiguration;
    CSiteIteratorThread* mThread = nullptr;
    CLogHolder mLog{CLogHolder::SBuffered{}};
    CHeldLogWriter mLogWriter{mLog};
    std::string mLogPath;
    bool mHasFile = false;
    CFileRef mFileRef;
    std::string mSiteMapPath;
    bool mStayInFolder = false;
    bool mOnePage = false;
    bool mMediaMode = false;
    bool mSlideShow = true;
    std::int32_t mLevels = 1;
    std::int32_t mMediaType = 1;
    MessageT mGrabMessage = 0;
    CLatestText mProgress;
    // The panes the crawl changes, at a reader's pace.
    CPaneChanges mPanes{[this](PaneIDT id) { return FindPaneByID(id); }};
    std::unique_ptr<CRecentItemsPopup> mRecentPopup;
    CGrabStart mStart{*this};
    // What the window shows of its crawl.
    CQuickerCrawlListener mCrawlListener{*this};
};
