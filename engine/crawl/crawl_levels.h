// CCrawlLevels: the crawl's breadth-first queue. The URLs of the level in
// progress, those queued for the next level (each once per level, by a mark
// on its site-index entry, so queueing is one hash look-up per link), where
// the crawl stands (level, index on the level, level size), and the queued
// URLs that only guesses of the dotted-link scan name.
//
// The lists hold pointers to texts of the site index, which outlives them;
// a URL written otherwise than its identity form keeps its own spelling
// here, so that the request goes out as the page wrote it.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "engine/crawl/site_index.h"
#include "engine/html/text_hash.h"

struct CLinkRecord;

// One URL of a level list: its text and the page it was found on.
struct CQueuedURL {
    const std::string* url;
    const std::string* referrer;
};

class CCrawlLevels {
public:
    // The index must outlive the levels.
    explicit CCrawlLevels(CSiteIndex& index) : mSiteIndex(index) {}
    CCrawlLevels(const CCrawlLevels&) = delete;
    CCrawlLevels& operator=(const CCrawlLevels&) = delete;

    // Where the crawl stands: the level (0 for the start URL's), the URL's
    // index on it (from 1) and the level's size.
    [[nodiscard]] std::int32_t Level() const { return mLevel; }
    [[nodiscard]] std::int32_t Index() const { return mIndex; }
    [[nodiscard]] std::int32_t LevelSize() const { return mLevelSize; }
    [[nodiscard]] std::int32_t NextLevelSize() const { return static_cast<std::int32_t>(mNextLevel.size()); }
    // What is shown before the levels begin.
    void ShowFirstLevel()
    {
        mLevel = 1;
        mIndex = 1;
        mLevelSize = 1;
    }

    // The level loop -----------------------------------------------------------
    // The start URL's level: nothing queued yet.
    void BeginStart();
    // The queued URLs become the level in progress, the next level empty.
    void AdvanceLevel();
    [[nodiscard]] bool HasCurrentLevel() const { return !mCurrentLevel.empty(); }
    // Starts the level in progress: its first URL, its size.
    void BeginLevel();
    const std::vector<CQueuedURL>& CurrentLevel() const { return mCurrentLevel; }
    void URLDone() { ++mIndex; }
    // The lists are given back.
    void Finish();

    // Queueing -----------------------------------------------------------------
    // Queues the on-site link's URL (its entry `item`) for the next level,
    // unless it is visited or queued there already; the request will go out
    // as the page wrote it. `referrer` is the key of the linking page's
    // entry (Item::first), kept, not copied.
    void QueueLink(CSiteIndex::Item& item, const CLinkRecord& link, const std::string& referrer);
    // Whether the URL about to be fetched is queued only as a guess, taking
    // it off the guesses: a guess the server does not have is neither an
    // error nor a page of the crawl.
    [[nodiscard]] bool TakeGuess(std::string_view url);
    // A guess the server did not have: never asked for again.
    [[nodiscard]] bool IsDroppedGuess(std::string_view url) const
    {
        const CSiteIndex::Item* item = mSiteIndex.Find(url);
        return item != nullptr && item->second.linkKind == ELinkSite::kDropped;
    }

private:
    CSiteIndex& mSiteIndex;
    std::vector<CQueuedURL> mCurrentLevel;
    std::vector<CQueuedURL> mNextLevel;
    // The spellings of queued URLs that differ from their identity form.
    std::deque<std::string> mWrittenURLs;
    // Queued URLs that only guesses name (identity form).
    TextSet mGuessedURLs;
    std::int32_t mLevel = 0;
    std::int32_t mIndex = 0;
    std::int32_t mLevelSize = 0;
};
