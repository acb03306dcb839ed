#include "engine/crawl/crawl_levels.h"

#include "engine/html/link_record.h"
#include "engine/url/url_identity.h"

void CCrawlLevels::BeginStart()
{
    mLevel = 0;
    mIndex = 0;
    mNextLevel.clear();
}

void CCrawlLevels::AdvanceLevel()
{
    ++mLevel;
    mCurrentLevel.swap(mNextLevel);
    mNextLevel.clear();
}

void CCrawlLevels::BeginLevel()
{
    mNextLevel.clear();
    mIndex = 1;
    mLevelSize = static_cast<std::int32_t>(mCurrentLevel.size());
}

void CCrawlLevels::Finish()
{
    mNextLevel.clear();
    mCurrentLevel.clear();
    mCurrentLevel.shrink_to_fit();
}

void CCrawlLevels::QueueLink(CSiteIndex::Item& item, const CLinkRecord& link, const std::string& referrer)
{
    CSiteEntry& entry = item.second;
    if (!link.mGuess && !mGuessedURLs.empty()) mGuessedURLs.erase(item.first);
    const std::int32_t nextLevel = mLevel + 1;
    if (entry.visited || entry.queuedLevel == nextLevel) return;
    entry.queuedLevel = nextLevel;
    if (entry.state == ETargetState::kKnown) entry.state = ETargetState::kExpected;
    if (link.mGuess) mGuessedURLs.insert(item.first);
    // The request goes out as the page wrote the URL.
    const std::string* written = &item.first;
    if (item.first != link.mURL) written = &mWrittenURLs.emplace_back(link.mURL);
    mNextLevel.push_back(CQueuedURL{written, &referrer});
}

bool CCrawlLevels::TakeGuess(std::string_view url)
{
    if (mGuessedURLs.empty()) return false;
    std::string scratch;
    const auto guess = mGuessedURLs.find(URLIdentity(url, scratch));
    if (guess == mGuessedURLs.end()) return false;
    mGuessedURLs.erase(guess);
    return true;
}
