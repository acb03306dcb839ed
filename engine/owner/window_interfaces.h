// What the engine may ask of the window that started a crawl or a fetch.
//
// The engine never includes the windows: the grabber window and the quicker
// grabber window implement these interfaces, and tests use recording
// implementations. Exactly one of a crawl's two window pointers is set; a
// report meant for the absent kind is skipped.
//
// The operations the crawl adds have empty default bodies, so a window (or
// a test's owner) implements only what it shows.
#pragma once

#include <cstdint>
#include <string>

#include "foundation/messaging/four_char_code.h"

class CBroadcaster;
class CConfiguration;
class CCookieStore;
class CFileRef;
class CSiteIteratorThread;

// Pane identifiers the crawl writes to.
using PaneIDT = FourCharCode;

// Window states (both kinds).
enum ECrawlWindowState : std::int32_t {
    kWindowNeverStarted = 0,
    kWindowRunning = 1,
    kWindowDone = 2,
    kWindowPaused = 3,
};

// How a crawl ended, told to its window just before the crawl thread goes.
struct SCrawlOutcome {
    std::uint32_t filesSaved = 0;
    // Why the grab failed, as the window shows it; empty when it did not.
    std::string failure;
    bool stoppedByUser = false;
};

// What a fetch needs from the window whose crawl it serves, and what the
// crawl thread tells either kind of window.
class CCrawlOwner {
public:
    virtual ~CCrawlOwner() = default;
    // The configuration of the window's grab (site login, useCookies, time-out).
    virtual const CConfiguration* GetConfiguration() const = 0;
    // The cookie store of the running crawl; null when no crawl runs or the
    // crawl's configuration has useCookies off, so a null store means
    // "neither send nor keep cookies".
    virtual CCookieStore* GetRunningCookieStore() = 0;
    // The host of the running crawl's start URL ("" when no crawl runs).
    virtual std::string GetStartHost() const = 0;

    // The crawl's side ---------------------------------------------------------
    // mState (ECrawlWindowState).
    virtual void SetCrawlState(std::int32_t /*state*/) {}
    // The chasing arrows 'SPIN': started and shown, or stopped and hidden.
    virtual void StartSpinner() {}
    virtual void StopSpinner() {}
    // The crawl thread is going away: the window forgets its pointer to it
    // (when it still holds that thread), so it knows no grab runs.
    virtual void CrawlThreadEnded(CSiteIteratorThread* /*thread*/) {}
    // Just before CrawlThreadEnded, when the crawl began.
    virtual void CrawlEnded(const SCrawlOutcome& /*outcome*/) {}
    // mStayInFolder: only URLs below the start URL's folder are grabbed.
    virtual bool IsStayInFolder() const { return false; }
    // The first file the crawl saved: mHasFile and mFileRef.
    virtual void SetFirstFile(const CFileRef& /*file*/) {}
    // Makes the buttons that act on saved files available; `withSiteMap`
    // when the configuration generates a site map.
    virtual void EnableFileButtons(bool /*withSiteMap*/) {}
    // The window's proxy icon names the file.
    virtual void SetProxyFile(const CFileRef& /*file*/) {}
    // Appended to the window's title (": host").
    virtual void AppendToTitle(const std::string& /*text*/) {}
    // The view button shows the file's icon.
    virtual void ShowFileIcon(const CFileRef& /*file*/) {}
    // Makes one button available ('Down' after a one-page grab).
    virtual void EnableButton(PaneIDT /*pane*/) {}
};

// The full grabber window: status pane, transfer captions and progress bar,
// the Skip button, the log pane, counters and times.
class CGrabberInterface : public CCrawlOwner {
public:
    // The 'TASK' status caption (crawl texts carry one leading blank).
    virtual void SetStatusText(const std::string& text) = 0;
    // Transfer captions: resource name, total size, bytes received.
    virtual void SetTransferName(const std::string& text) = 0;
    virtual void SetTransferSize(const std::string& text) = 0;
    virtual void SetTransferReceived(const std::string& text) = 0;
    virtual std::int32_t GetProgressMin() const = 0;
    virtual std::int32_t GetProgressMax() const = 0;
    virtual std::int32_t GetProgressValue() const = 0;
    virtual void SetProgressValue(std::int32_t value) = 0;
    // The 'SKIP' button: a broadcaster of kMsgSkip while enabled.
    virtual CBroadcaster* GetSkipButton() = 0;
    virtual void EnableSkipButton(bool enabled) = 0;
    // A line in the log pane (and the window's log file); yields.
    virtual void LogText(const std::string& text) = 0;
    // A network error code reported by a transfer.
    virtual void SetNetworkError(std::int32_t code) = 0;

    // The crawl's side ---------------------------------------------------------
    // A caption of the counters panel: 'STIM', 'FTIM', 'ETIM', 'UNAU', 'ERRO',
    // 'REQU', 'BYTE', 'MAIL', 'COOK', 'LEVE', 'CLFI', 'LFIL', 'NXTL', 'HFIL',
    // 'HSIZ', 'HTRA'.
    virtual void SetPaneText(PaneIDT /*pane*/, const std::string& /*text*/) {}
    // A progress bar ('HPRO', 'LPRO') and its range.
    virtual void SetPaneValue(PaneIDT /*pane*/, std::int32_t /*value*/) {}
    virtual std::int32_t GetPaneMinValue(PaneIDT /*pane*/) const { return 0; }
    virtual std::int32_t GetPaneMaxValue(PaneIDT /*pane*/) const { return 100; }
    // A button's title ('CNCL', 'Star').
    virtual void SetButtonTitle(PaneIDT /*pane*/, const std::string& /*title*/) {}
    // A log line in the error style; plain where there is no style.
    virtual void LogErrorText(const std::string& text) { LogText(text); }
    // The start and finish notification request (CGrabber::SendNotificationMail).
    virtual void SendNotificationMail(const std::string& /*body*/) {}
};

// The quicker grabber window: task text, message text, progress line, level
// progress and its two variants (one page, media).
class CQuickerGrabberInterface : public CCrawlOwner {
public:
    virtual void SetTaskText(const std::string& text) = 0;
    virtual void SetMessageText(const std::string& text) = 0;
    // Byte progress of the current transfer; `expected` 0 when unknown.
    // Called from a transfer's own OS thread: implementations queue it.
    virtual void PostTransferProgress(std::uint64_t received, std::uint64_t expected,
                                      std::uint64_t bytesPerSecond, bool finished) = 0;

    // The crawl's side ---------------------------------------------------------
    // 'Prog' and (unless one page) 'Lvel'.
    virtual void ShowLevelProgress() {}
    virtual void HideLevelProgress() {}
    virtual void SetProgressRange(std::int32_t /*minimum*/, std::int32_t /*maximum*/) {}
    virtual void SetLevelProgress(std::int32_t /*level*/, std::int32_t /*value*/) {}
    // The crawl's position caption 'Crnt'.
    virtual void SetProgressText(const std::string& /*text*/) {}
    virtual void HideProgressText() {}
    // 'PAUS' hidden; 'GRAB' sends 'DONE' with the title "Done".
    virtual void HidePauseButton() {}
    virtual void SetGrabButtonDone() {}
    // Appends to the window's log file when one is open (nothing otherwise).
    virtual void AppendToLogFile(const std::string& /*text*/) {}
    // The variants: "Download One Page", the media grabber with its levels
    // (mLevels) and media type (mMediaType, 1 images), "Flatten When Saving".
    virtual bool IsDownloadOnePage() const { return false; }
    virtual bool IsMediaGrabber() const { return false; }
    virtual bool IsFlattenWhenSaving() const { return false; }
    virtual std::int32_t GetMediaLevels() const { return 1; }
    virtual std::int32_t GetMediaType() const { return 1; }
    // A grabbed image for the slide show.
    virtual void ShowMediaURL(const std::string& /*url*/) {}
};
