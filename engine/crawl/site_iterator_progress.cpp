// What the crawl shows while it runs: status texts, log lines, the counters
// and the progress of the level.
#include "engine/config/configuration.h"
#include "engine/crawl/site_iterator.h"
#include "engine/owner/crawl_listener.h"
#include "foundation/text/text_encodings.h"

void CSiteIterator::ShowStatus(const std::string& text) { mListener.CrawlStatus(text); }

void CSiteIterator::LogLine(const std::string& text) { mListener.CrawlLog(text, ELogLine::kNotice); }

// Pages write addresses and anchors as HTML ("ann&#64;example.com", "R&amp;D");
// the report holds the text. An address met again keeps its place and takes
// the newest anchor text.
void CSiteIterator::AddEmailAddress(const std::string& address, const std::string& anchorText)
{
    std::string text = DecodeEntities(address);
    // One line per address: the anchor's line breaks and tabs become blanks.
    std::string anchor;
    for (char c : DecodeEntities(anchorText)) {
        const bool blank = IsAsciiSpace(static_cast<unsigned char>(c));
        if (!blank) anchor += c;
        else if (!anchor.empty() && anchor.back() != ' ') anchor += ' ';
    }
    if (!anchor.empty() && anchor.back() == ' ') anchor.pop_back();
    auto [found, added] = mEmailIndex.try_emplace(std::move(text), mEmailAddresses.size());
    if (added) mEmailAddresses.emplace_back(found->first, std::move(anchor));
    else if (!anchor.empty()) mEmailAddresses[found->second].second = std::move(anchor);
}

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
    progress.mails = mEmailAddresses.size();
    progress.countsCookies = mConfiguration->mGeneralOptions.useCookies != 0;
    progress.cookies = progress.countsCookies ? mCookies.CountCookies() : 0;
    progress.level = mLevel;
    progress.index = mIndex;
    progress.levelSize = mLevelSize;
    progress.nextLevelSize = NextLevelSize();
    progress.linkDepth = mConfiguration->mGeneralOptions.linkDepth;
    return progress;
}

void CSiteIterator::ShowProgress()
{
    mLastTime = mCollaborators.clock();
    mListener.CrawlProgress(Progress());
    if (mCollaborators.outlets.drawTile) mCollaborators.outlets.drawTile(mLevel, mIndex, mLevelSize);
}
