// The crawl's queue on its own: each URL once per level, never a visited
// one, requests as the page wrote them, guesses taken once.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/crawl/crawl_levels.h"
#include "engine/html/link_record.h"

namespace {

// A link and the URL of the page it was found on.
struct SFoundLink {
    CLinkRecord link;
    std::string referrer;
};

SFoundLink Link(const std::string& url, const std::string& referrer, bool guess = false)
{
    CLinkRecord link;
    link.mURL = url;
    link.mGuess = guess;
    return {link, referrer};
}

std::vector<std::string> QueuedTexts(const CCrawlLevels& levels)
{
    std::vector<std::string> texts;
    for (const CQueuedURL& queued : levels.CurrentLevel()) texts.push_back(*queued.url + " <- " + *queued.referrer);
    return texts;
}

TEST(CrawlLevels, EachURLIsQueuedOncePerLevelAsThePageWroteIt)
{
    CSiteIndex index;
    CCrawlLevels levels(index);
    index.MarkVisited("http://h/", {}, "");
    index.MarkVisited("http://h/seen", {}, "");
    levels.BeginStart();
    const struct {
        std::int32_t level;  // the level whose page has the link
        SFoundLink found;
    } links[] = {
        {0, Link("http://h/a", "http://h/")},
        {0, Link("http://h/a", "http://h/")},          // queued already
        {0, Link("http://h/seen", "http://h/")},       // visited
        {0, Link("HTTP://h:80/b", "http://h/")},       // asked for as written
        {0, Link("http://h/c", "http://h/x", true)},   // a guess
        {1, Link("http://h/a", "http://h/b")},         // queued again for the next level
        {1, Link("http://h/c", "http://h/b", true)},
        {1, Link("http://h/d", "http://h/b", true)},
        {1, Link("http://h/d", "http://h/a")},         // also a real link: no guess
    };
    for (std::int32_t level = 0; level < 2; ++level) {
        for (const auto& row : links)
            if (row.level == level)
                levels.QueueLink(index.FindOrAdd(row.found.link.mURL), row.found.link,
                                 index.FindOrAdd(row.found.referrer).first);
        levels.AdvanceLevel();
        levels.BeginLevel();
        EXPECT_EQ(levels.Level(), level + 1);
        EXPECT_EQ(levels.Index(), 1);
        if (level == 0) {
            EXPECT_EQ(QueuedTexts(levels), (std::vector<std::string>{"http://h/a <- http://h/", "HTTP://h:80/b <- http://h/",
                                                                    "http://h/c <- http://h/x"}));
            EXPECT_EQ(levels.LevelSize(), 3);
        } else {
            EXPECT_EQ(QueuedTexts(levels), (std::vector<std::string>{"http://h/a <- http://h/b",
                                                                    "http://h/c <- http://h/b",
                                                                    "http://h/d <- http://h/b"}));
        }
    }
    // A guess is told once, in any spelling of it; a real link is no guess.
    const struct {
        const char* url;
        bool guess;
    } guesses[] = {{"HTTP://H/c", true}, {"http://h/c", false}, {"http://h/d", false}, {"http://h/a", false}};
    for (const auto& c : guesses) EXPECT_EQ(levels.TakeGuess(c.url), c.guess) << c.url;
    levels.Finish();
    EXPECT_FALSE(levels.HasCurrentLevel());
    EXPECT_EQ(levels.NextLevelSize(), 0);
}

}  // namespace
