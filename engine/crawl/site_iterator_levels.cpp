// The breadth-first level loop and the pause between URLs.
#include <chrono>

#include "engine/config/configuration.h"
#include "engine/crawl/site_iterator.h"
#include "engine/owner/crawl_listener.h"
#include "foundation/threads/thread.h"
#include "foundation/threads/wait_seconds.h"

namespace {

// Clears the driver's pointer to the URL in progress however the URL's
// treatment ends.
class CURLInProgress {
public:
    CURLInProgress(CURL*& slot, CURL& url) : mSlot(slot) { mSlot = &url; }
    ~CURLInProgress() { mSlot = nullptr; }
    CURLInProgress(const CURLInProgress&) = delete;
    CURLInProgress& operator=(const CURLInProgress&) = delete;

private:
    CURL*& mSlot;
};

}  // namespace

void CSiteIterator::CrawlLevels(CURL& startURL)
{
    // A stop requested while the crawl was being set up is kept: the flags
    // are not reset here.
    mListener.LevelsBegin();
    if (mStopRequested) return;

    CGeneralOptions& general = mConfiguration->mGeneralOptions;
    mLevels.BeginStart();
    {
        CURLInProgress inProgress(mURLInProgress, startURL);
        ProcessURL(startURL, 0, 0);
    }
    if (mOptions.onePage && startURL.BodyContains("<frameset")) general.linkDepth = 3;

    mLevels.AdvanceLevel();
    while (!mStopRequested && mLevels.Level() < general.linkDepth && mLevels.HasCurrentLevel()) {
        mLevels.BeginLevel();
        mListener.LevelBegins(mLevels.Level(), mLevels.LevelSize());
        for (const CQueuedURL& queued : mLevels.CurrentLevel()) {
            if (mStopRequested) break;
            CURL url(*queued.url);
            url.mParentURL = *queued.referrer;
            {
                CURLInProgress inProgress(mURLInProgress, url);
                LogTrace([&] { return "\r\xE2\x80\xA2" + url.mURL; });
                ShowProgress();
                if (IsOnSite(url)) {
                    ShowStatus("Grab filter");
                    // A guess the server did not have may have been queued
                    // again before it was asked for: it is not asked twice.
                    if (!IsVisited(url.mURL) && !mLevels.IsDroppedGuess(url.mURL)) {
                        ProcessURL(url, mLevels.Level(), mLevels.Index());
                        Pause(general.pauseSeconds);
                    } else {
                        LogTrace([&] { return "\r" + url.mURL + " already grabbed.\r"; });
                    }
                } else if (mConfiguration->mMiscOptions.offsiteLinks) {
                    ShowStatus("Updating offsite URLs");
                    mReports.AddOffsiteURL(url.mURL);
                }
            }
            mLevels.URLDone();
            mListener.LevelURLDone(mLevels.Level(), mLevels.Index());
        }
        mLevels.AdvanceLevel();
    }
    mLevels.Finish();
}

void CSiteIterator::Pause(std::int32_t seconds)
{
    ShowStatus("Idling");
    if (seconds <= 0) {
        Yield();
        ShowProgress();
        return;
    }
    const std::string text = "Pausing " + std::to_string(seconds) + (seconds == 1 ? " second." : " seconds.");
    mListener.CrawlWaiting(text);
    // A stop request wakes the sleeping thread at once.
    const auto deadline = CThread::Clock::now() + std::chrono::seconds(seconds);
    if (CThread* self = CThread::Current()) {
        while (!mStopRequested && CThread::Clock::now() < deadline) self->SleepUntil(deadline);
    } else {
        WaitSeconds(static_cast<std::uint32_t>(seconds));
    }
    ShowProgress();
}
