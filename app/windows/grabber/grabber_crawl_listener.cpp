#include "app/windows/grabber/grabber_crawl_listener.h"

#include "app/windows/grab_start/grab_window_parts.h"
#include "app/windows/grabber/grabber_layout.h"
#include "engine/crawl/elapsed_time.h"

using namespace grabber;

// Crawl texts carry one leading blank in 'TASK'.
void CGrabberCrawlListener::CrawlStatus(const std::string& text)
{
    mStatus.assign(1, ' ').append(text);
    SetStatusText(mStatus);
}

void CGrabberCrawlListener::SetStatusText(std::string_view text) { mWindow.SetPaneText(kTask, text); }

void CGrabberCrawlListener::CrawlLog(const std::string& text, ELogLine kind)
{
    if (kind == ELogLine::kFailure) mWindow.LogError(text);
    else mWindow.LogText(text);
}

void CGrabberCrawlListener::CrawlLogFileText(const std::string& text) { mWindow.AppendToLogFile(text); }

void CGrabberCrawlListener::CrawlWaiting(const std::string& text) { mWindow.LogText(text); }

void CGrabberCrawlListener::URLFetching(const std::string&) {}

void CGrabberCrawlListener::URLSkipped(const std::string& reason) { CrawlStatus(reason); }

void CGrabberCrawlListener::RetryingWithLogin(const std::string&) { CrawlStatus("Grab with authorization"); }

void CGrabberCrawlListener::CrawlProgress(const SCrawlProgress& progress)
{
    // A URL reports its progress several times and most numbers repeat:
    // only the ones that changed since the last report are set.
    const bool all = !mProgressShown;
    const SCrawlProgress& shown = mShownProgress;
    const auto changed = [&](auto field) { return all || shown.*field != progress.*field; };
    if (changed(&SCrawlProgress::startSeconds)) mWindow.SetPaneText(kStartTime, TimeOfDayText(progress.startSeconds));
    if (changed(&SCrawlProgress::startSeconds) || changed(&SCrawlProgress::nowSeconds))
        mWindow.SetPaneText(kElapsedTime, ElapsedTimeText(progress.nowSeconds - progress.startSeconds));
    if (changed(&SCrawlProgress::unauthorized)) mWindow.SetPaneText(kUnauthorized, std::to_string(progress.unauthorized));
    if (changed(&SCrawlProgress::errors)) mWindow.SetPaneText(kErrors, std::to_string(progress.errors));
    if (changed(&SCrawlProgress::requests)) mWindow.SetPaneText(kRequests, std::to_string(progress.requests));
    if (changed(&SCrawlProgress::bytes)) mWindow.SetPaneText(kBytes, std::to_string(progress.bytes));
    if (progress.countsMails && (changed(&SCrawlProgress::countsMails) || changed(&SCrawlProgress::mails)))
        mWindow.SetPaneText(kMails, std::to_string(progress.mails));
    if (progress.countsCookies && (changed(&SCrawlProgress::countsCookies) || changed(&SCrawlProgress::cookies)))
        mWindow.SetPaneText(kCookies, std::to_string(progress.cookies));
    // The start URL is the first level.
    if (changed(&SCrawlProgress::level)) mWindow.SetPaneText(kLevel, std::to_string(progress.level + 1));
    if (changed(&SCrawlProgress::index)) mWindow.SetPaneText(kLevelIndex, std::to_string(progress.index));
    if (changed(&SCrawlProgress::levelSize)) mWindow.SetPaneText(kLevelFiles, std::to_string(progress.levelSize));
    if (changed(&SCrawlProgress::nextLevelSize)) mWindow.SetPaneText(kNextLevel, std::to_string(progress.nextLevelSize));
    if (changed(&SCrawlProgress::index) || changed(&SCrawlProgress::levelSize)) {
        const std::int64_t minimum = mWindow.GetPaneMinValue(kLevelProgress);
        const std::int64_t maximum = mWindow.GetPaneMaxValue(kLevelProgress);
        const std::int64_t value =
            progress.levelSize > 0 ? minimum + (maximum - minimum) * progress.index / progress.levelSize : minimum;
        mWindow.SetPaneValue(kLevelProgress, static_cast<std::int32_t>(value));
    }
    mShownProgress = progress;
    mProgressShown = true;
}

void CGrabberCrawlListener::LevelsBegin() { mProgressShown = false; }

void CGrabberCrawlListener::LevelBegins(std::int32_t, std::int32_t) {}

void CGrabberCrawlListener::LevelURLDone(std::int32_t, std::int32_t) {}

void CGrabberCrawlListener::LevelsEnd(bool stopped)
{
    mProgressShown = false;
    if (!stopped) {
        for (PaneIDT pane : {kFileName, kFileSize, kFileReceived, kLevel, kLevelIndex, kLevelFiles, kNextLevel})
            mWindow.SetPaneText(pane, "");
        mWindow.SetPaneValue(kFileProgress, 0);
        mWindow.SetPaneValue(kLevelProgress, 0);
    }
    mWindow.StopSpinner();
    SetStatusText(" ");
}

void CGrabberCrawlListener::TransferBegins()
{
    mShownName.clear();
    mSizeShown = false;
    mWindow.SetPaneValue(kFileProgress, 0);
}

void CGrabberCrawlListener::TransferSkippable(bool skippable) { mWindow.EnablePane(kSkip, skippable); }

void CGrabberCrawlListener::TransferStatus(const std::string& text) { SetStatusText(text); }

void CGrabberCrawlListener::TransferProgress(const STransferProgress& progress)
{
    if (progress.name != mShownName) {
        mShownName.assign(progress.name);
        mWindow.SetPaneText(kFileName, mShownName);
    }
    if (!mSizeShown || progress.size != mShownSize) {
        mSizeShown = true;
        mShownSize = progress.size;
        mWindow.SetPaneText(kFileSize, std::to_string(progress.size));
    }
    if (progress.received != 0) mWindow.SetPaneText(kFileReceived, std::to_string(progress.received));
    if (progress.size == 0) return;
    const std::int32_t minimum = mWindow.GetPaneMinValue(kFileProgress);
    const std::int32_t maximum = mWindow.GetPaneMaxValue(kFileProgress);
    const double share =
        static_cast<double>(progress.received < progress.size ? progress.received : progress.size) /
        static_cast<double>(progress.size);
    const auto value = static_cast<std::int32_t>(minimum + (static_cast<double>(maximum) - minimum) * share);
    if (value > mWindow.GetProgressValue()) mWindow.SetPaneValue(kFileProgress, value);
}

// The grabber's requests report on the crawl's side only.
void CGrabberCrawlListener::PostTransferProgress(const STransferProgress&) {}

void CGrabberCrawlListener::FirstFileSaved(const CFileRef& file, const std::string& startHost, bool withSiteMap)
{
    mWindow.SetFirstFile(file);
    mWindow.EnableFileButtons(withSiteMap);
    mWindow.AppendToTitle(": " + startHost);
}

void CGrabberCrawlListener::ImageGrabbed(const std::string&) {}

// The crawl sends the notification mails itself; the window only notes
// that one was asked for.
void CGrabberCrawlListener::NotificationMail(const std::string&) { mWindow.NoteNotificationRequest(); }

void CGrabberCrawlListener::CrawlStateChanged(ECrawlState state, std::int64_t clockSeconds)
{
    if (state == ECrawlState::kRunning) {
        mWindow.SetPaneText(kCancel, "Stop");
        mWindow.SetPaneText(kStart, "Pause");
        mWindow.SetCrawlState(kWindowRunning);
        return;
    }
    mWindow.SetCrawlState(kWindowDone);
    mWindow.SetPaneText(kCancel, "Done");
    mWindow.SetPaneText(kStart, "Start");
    SetStatusText("Idle");
    mWindow.SetPaneText(kFinishTime, TimeOfDayText(clockSeconds));
}

void CGrabberCrawlListener::CrawlEnded(CSiteIteratorThread* thread, const SCrawlOutcome&)
{
    mWindow.StopSpinner();
    mWindow.CrawlThreadEnded(thread);
}
