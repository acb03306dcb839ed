#include "app/windows/quicker_grabber/quicker_crawl_listener.h"

#include "app/windows/grab_start/grab_window_parts.h"
#include "app/windows/quicker_grabber/quicker_grabber_layout.h"
#include "engine/crawl/elapsed_time.h"

using namespace quickergrabber;

namespace {

// The message that ends a grab: why it failed or stopped, or "Done." with
// the elapsed time.
std::string EndMessage(const SCrawlOutcome& outcome)
{
    if (outcome.abortedByError)
        return "The download was aborted because an error occurred. Please check you network connectivity.";
    if (!outcome.failure.empty()) return outcome.failure;  // a failed grab is never "Done."
    return (outcome.stoppedByUser ? "Aborted. Elapsed time = " : "Done. Elapsed time = ") +
           ElapsedTimeText(outcome.elapsedSeconds);
}

}  // namespace

void CQuickerCrawlListener::CrawlStatus(const std::string& text) { mWindow.SetTaskText(text); }

// The message line shows what the user should see; the detailed record and
// the failure (told at the end) are the grabber window's.
void CQuickerCrawlListener::CrawlLog(const std::string& text, ELogLine kind)
{
    if (kind == ELogLine::kNotice) mWindow.SetMessageText(text);
}

void CQuickerCrawlListener::CrawlLogFileText(const std::string& text) { mWindow.AppendToLogFile(text); }

void CQuickerCrawlListener::CrawlWaiting(const std::string& text) { mWindow.SetTaskText(text); }

void CQuickerCrawlListener::URLFetching(const std::string& url) { mWindow.SetMessageText(url); }

void CQuickerCrawlListener::URLSkipped(const std::string& reason) { mWindow.SetMessageText(reason); }

void CQuickerCrawlListener::RetryingWithLogin(const std::string&) { mWindow.SetTaskText("Grab unauthorized"); }

void CQuickerCrawlListener::CrawlProgress(const SCrawlProgress& progress)
{
    std::string text = std::to_string(progress.index) + " of " + std::to_string(progress.levelSize);
    if (progress.level < progress.linkDepth - 1)
        text += " (" + std::to_string(progress.nextLevelSize) +
                (progress.nextLevelSize == 1 ? " URL on next level)" : " URLs on next level)");
    mWindow.SetProgressText(text);
}

void CQuickerCrawlListener::LevelsBegin()
{
    mWindow.SetLevelProgress(0, 0);
    mWindow.ShowLevelProgress();
}

void CQuickerCrawlListener::LevelBegins(std::int32_t level, std::int32_t count)
{
    mWindow.SetProgressRange(0, count);
    mWindow.SetLevelProgress(level, 0);
}

void CQuickerCrawlListener::LevelURLDone(std::int32_t level, std::int32_t done) { mWindow.SetLevelProgress(level, done); }

void CQuickerCrawlListener::LevelsEnd(bool)
{
    mWindow.HideLevelProgress();
    mWindow.HideProgressText();
}

// The quicker grabber's requests report from their own thread only.
void CQuickerCrawlListener::TransferBegins() {}

void CQuickerCrawlListener::TransferSkippable(bool) {}

void CQuickerCrawlListener::TransferStatus(const std::string&) {}

void CQuickerCrawlListener::TransferProgress(const STransferProgress&) {}

void CQuickerCrawlListener::PostTransferProgress(const STransferProgress& progress)
{
    mWindow.PostProgress(static_cast<std::int64_t>(progress.received), static_cast<std::int64_t>(progress.size),
                         static_cast<std::int64_t>(progress.bytesPerSecond));
}

void CQuickerCrawlListener::FirstFileSaved(const CFileRef& file, const std::string& startHost, bool withSiteMap)
{
    mWindow.SetFirstFile(file);
    mWindow.EnableFileButtons(withSiteMap);
    mWindow.AppendToTitle(": " + startHost);
}

void CQuickerCrawlListener::ImageGrabbed(const std::string& url) { mWindow.ShowMediaURL(url); }

void CQuickerCrawlListener::NotificationMail(const std::string&) {}

void CQuickerCrawlListener::CrawlStateChanged(ECrawlState state, std::int64_t)
{
    // Running is the window's own state from the moment it starts the crawl.
    if (state != ECrawlState::kDone) return;
    mWindow.HidePauseButton();
    mWindow.SetCrawlState(kWindowDone);
    if (mWindow.IsDownloadOnePage()) mWindow.EnablePane(kDown, true);
    mWindow.SetGrabButtonDone();
}

void CQuickerCrawlListener::CrawlEnded(CSiteIteratorThread* thread, const SCrawlOutcome& outcome)
{
    mWindow.StopSpinner();
    if (outcome.began) {
        mWindow.SetMessageText(EndMessage(outcome));
        mWindow.HideLevelProgress();
        mWindow.HidePauseButton();
    }
    mWindow.CrawlThreadEnded(thread);
}
