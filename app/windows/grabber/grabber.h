// CGrabber: the full grabber window. A start URL, a popup of the named
// configurations, a log pane that lists every URL and response header, and
// a panel of counters and times that the crawl fills. One crawl thread at a
// time; 'Star' starts, pauses and resumes it, 'CNCL' stops it (or closes an
// idle window). The start page's redirections are followed on a cooperative
// thread (CStartURLThread), so the window keeps drawing while a server is
// slow. A clock thread keeps 'TIME' current.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "app/framework/grayscale_window.h"
#include "app/windows/grabber/held_log_lines.h"
#include "app/progress/pane_changes.h"
#include "app/windows/grabber/grabber_crawl_listener.h"
#include "app/windows/grab_start/grab_start.h"
#include "app/windows/grab_start/grab_window_parts.h"
#include "engine/config/configuration.h"
#include "foundation/files/file_ref.h"
#include "foundation/settings/log_file.h"

class CRecentItemsPopup;
class CTimeThread;
class QPrinter;
class CURL;

class CGrabber;

// Where 'EDIT' and 'Srch' lead. The configuration editor and the search
// window live in other libraries, so whoever registers the grabber hands
// them in; an empty function beeps. The search gets the chosen
// configuration's download folder.
struct SGrabberLinks {
    std::function<void(CGrabber& window, const std::string& name)> editConfiguration;
    std::function<void(const std::string& downloadFolder)> search;
};

class CGrabber : public GGrayscaleWindow, private CGrabStartWindow, private CGrabberCrawlView {
public:
    CGrabber(const SLayout& layout, CCommander* superCommander, SGrabberLinks links);
    ~CGrabber() override;

    // The user's side ---------------------------------------------------------------
    void StartGrab();
    void PauseGrab();
    void ResumeGrab();
    void StopGrab();
    // Opens the configuration editor on a configuration, through the link
    // the grabber was given (the editor lives in another library).
    void ShowEditConfigurationWindow(const std::string& name);
    // Prints the log pane.
    void DoPrint(QPrinter& printer);
    void SetStartURL(const std::string& text);
    // Chooses a configuration of the popup by name; false when it is not listed.
    bool ChooseConfiguration(const std::string& name);
    std::string ChosenConfiguration() const;

    void ListenToMessage(MessageT message, void* ioParam) override;
    bool HandleCommand(CommandT command, void* ioParam) override;
    bool GetCommandStatus(CommandT command, SCommandStatus& status) override;
    bool GetPaneHelpText(PaneIDT paneID, std::string& outText) override;
    // While a grab is active, asks first; closing stops it.
    bool AllowClose() override;

    std::int32_t GetState() const { return mState; }
    bool IsCrawling() const { return mThread != nullptr; }
    bool IsCheckingStartURL() const { return mStart.IsChecking(); }
    const std::string& LogFilePath() const { return mLogPath; }
    bool IsLogOpen() const { return mLog.IsOpen(); }
    const std::string& SiteMapPath() const { return mSiteMapPath; }
    // The download folder of the chosen configuration: where its mirrors go.
    // The chosen configuration's download folder; none, with the failure
    // in the log pane, when the configuration cannot be read (the built-in
    // one's folder would be another mirror than the grab's).
    std::optional<std::string> DownloadFolderPath();
    // How many notification mails the crawl asked this window for.
    int NotificationRequests() const { return mNotificationRequests; }

    // Over every open grabber window.
    static void CloseAllGrabbers();
    static bool IsAnyGrabberRunning();
    static void NotifyConfigurationsChanged();

    void LogLine(const std::string& text) { LogText(text); }
    void LogError(const std::string& text) override;

protected:
    void FinishCreateSelf() override;

private:
    // CGrabberCrawlView: what the crawl changes, through mCrawlListener ------------------
    void SetCrawlState(std::int32_t state) override;
    void StopSpinner() override;
    void CrawlThreadEnded(CSiteIteratorThread* thread) override;
    void SetFirstFile(const CFileRef& file) override;
    void EnableFileButtons(bool withSiteMap) override;
    void AppendToTitle(const std::string& text) override;
    std::int32_t GetProgressValue() const override;
    void LogText(const std::string& text) override;
    void AppendToLogFile(const std::string& text) override;
    void SetPaneText(PaneIDT pane, std::string_view text) override;
    void SetPaneValue(PaneIDT pane, std::int32_t value) override;
    void EnablePane(PaneIDT pane, bool enabled) override;
    std::int32_t GetPaneMinValue(PaneIDT pane) const override;
    std::int32_t GetPaneMaxValue(PaneIDT pane) const override;
    void NoteNotificationRequest() override { ++mNotificationRequests; }

    void StartSpinner();
    void SetStatusText(const std::string& text);
    void EnableSkipButton(bool enabled);
    void SetButtonTitle(PaneIDT pane, const std::string& title);

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

    void FillConfigurationsMenu();
    // A grab that ended before its crawl began.
    void EndWithoutCrawl();
    void OpenLog(const CURL& startURL);
    void CloseLog();
    void AppendLog(const std::string& text, bool error);
    // The log pane only, not the log file; held with the panes.
    void ShowLogLine(const std::string& text, bool error);
    void ShowHeldLogLines();
    // After a user's action and at the end of a grab.
    void ShowChangesNow() { mPanes.Flush(); }
    CPane* Pane(PaneIDT pane) const;
    void RevealDownloads();
    void OpenSiteMap();
    void RecentItemChosen(std::int32_t item);
    void MenuChosen(std::int32_t item);
    void OpenHelp();
    void WaitForThreads();

    SGrabberLinks mLinks;
    std::int32_t mState = kWindowNeverStarted;
    bool mClosing = false;
    CConfiguration mConfiguration;
    CFileRef mConfigRef;
    CSiteIteratorThread* mThread = nullptr;
    std::unique_ptr<CTimeThread> mClockThread;
    CLogHolder mLog{CLogHolder::SBuffered{}};
    CHeldLogWriter mLogWriter{mLog};
    // The panes and log lines the crawl changes, at a reader's pace.
    CHeldLogLines mHeldLogLines;
    // The title before the first grab named its host: a grab names its
    // host after this title, so a window that grabs again names it once.
    std::optional<std::string> mTitleBeforeHost;
    // A grabber's panes live as long as it does, so each is looked up once:
    // the crawl asks for a few of them many times per URL.
    mutable std::unordered_map<PaneIDT, CPane*> mFoundPanes;
    CPaneChanges mPanes{[this](PaneIDT id) { return Pane(id); }};
    std::string mLogPath;
    bool mHasFile = false;
    CFileRef mFileRef;
    std::string mSiteMapPath;
    bool mStayInFolder = false;
    bool mPopupReady = false;
    std::int32_t mPopupValue = 1;
    int mNotificationRequests = 0;
    std::unique_ptr<CRecentItemsPopup> mRecentPopup;
    CGrabStart mStart{*this};
    // What the window shows of its crawl.
    CGrabberCrawlListener mCrawlListener{*this};
};
