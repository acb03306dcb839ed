// What the crawl shows while it runs: status texts, log lines, the counters
// and the progress of the level.
#include "engine/config/configuration.h"
#include "engine/crawl/site_iterator.h"
#include "engine/owner/crawl_listener.h"
#include "foundation/text/text_encodings.h"

void CSiteIterator::ShowStatus(const std::string& text) { mListener.CrawlStatus(text); }

void CSiteIterator::LogLine(const std::string& text) { mListener.CrawlLog(text, ELogLine::kNotice); }

SCrawlProgress CSiteIterator::Progress() const
{
    SCrawlProgress progress;
    progress.startSeconds = mStartTime;
    progress.nowSeconds = mLastTime;
    progress.unauthorized = mCounters.unauthorized;
    progress.errors = mCounters.errors;
    progress.requests = mCounters.files;
    progress.bytes = mCounters.bytes;
    progress.countsMails = mConfiguration->mMiscOptions.extractEmailAddresses != 0;
    progress.mails = mReports.EmailCount();
    progress.countsCookies = mConfiguration->mGeneralOptions.useCookies != 0;
    progress.cookies = progress.countsCookies ? mCookies.CountCookies() : 0;
    progress.level = mLevels.Level();
    progress.index = mLevels.Index();
    progress.levelSize = mLevels.LevelSize();
    progress.nextLevelSize = NextLevelSize();
    progress.linkDepth = mConfiguration->mGeneralOptions.linkDepth;
    return progress;
}

void CSiteIterator::ShowProgress()
{
    mLastTime = mCollaborators.clock();
    mListener.CrawlProgress(Progress());
    if (mCollaborators.outlets.drawTile) mCollaborators.outlets.drawTile(mLevels.Level(), mLevels.Index(), mLevels.LevelSize());
}
