// The crawl's tile updates are spaced out: the first goes at once, then at
// most one per interval, the newest winning, and the last is never lost.
#include <chrono>
#include <cstdint>
#include <vector>

#include <QCoreApplication>
#include <QEventLoop>
#include <gtest/gtest.h>

#include "app/progress/dock_tile.h"
#include "app/progress/latest_value_throttle.h"

namespace {

using namespace std::chrono_literals;
using Throttle = CLatestValueThrottle<int>;

TEST(CrawlTileThrottle, TheFirstGoesAtOnceThenTheNewestOncePerInterval)
{
    struct SCase {
        const char* name;
        int offers;                       // values 1..offers
        std::chrono::milliseconds spacing;
        bool overtakenAtTheEnd;           // a restore comes right after the last offer
        std::vector<int> sent;
        bool timerStarved = false;        // a busy loop holds the timer back until the end
    } cases[] = {
        {"a burst", 1000, 0ms, false, {1, 1000}},
        {"one every 10 ms for a second", 100, 10ms, false, {1, 25, 50, 75, 100}},
        {"exactly one per interval", 4, 250ms, false, {1, 2, 3, 4}},
        {"slower than the interval", 3, 400ms, false, {1, 2, 3}},
        {"a burst overtaken by the restore", 10, 0ms, true, {1}},
        {"one every 10 ms with the timer held back", 100, 10ms, false, {1, 26, 51, 76, 100}, true},
    };
    for (const SCase& c : cases) {
        Throttle throttle(250ms);
        const Throttle::Clock::time_point start{};
        std::vector<int> sent;
        std::vector<Throttle::Clock::time_point> times;
        // The caller's timer fires exactly when the held value is due.
        auto fireDue = [&](Throttle::Clock::time_point until) {
            while (std::optional<Throttle::Clock::time_point> due = throttle.DueAt()) {
                if (*due > until) break;
                std::optional<int> value = throttle.TakeDue(*due);
                ASSERT_TRUE(value.has_value()) << c.name;
                sent.push_back(*value);
                times.push_back(*due);
            }
        };
        Throttle::Clock::time_point now = start;
        for (int value = 1; value <= c.offers; ++value) {
            now = start + c.spacing * (value - 1);
            if (!c.timerStarved) fireDue(now);
            if (std::optional<int> going = throttle.Offer(value, now)) {
                sent.push_back(*going);
                times.push_back(now);
            }
        }
        if (c.overtakenAtTheEnd) throttle.Overtaken(now);
        fireDue(Throttle::Clock::time_point::max());
        EXPECT_EQ(sent, c.sent) << c.name;
        for (std::size_t i = 1; i < times.size(); ++i) EXPECT_GE(times[i] - times[i - 1], 250ms) << c.name;
    }
}

// Through the real tile: a burst reaches the hook a few times at most, and
// its newest values last, once the event loop lets the held one go.
TEST(CrawlTileThrottle, ABurstOfCrawlProgressReachesTheTileAFewTimesNewestLast)
{
    std::vector<CDockTile> tiles;
    SetDockTileHook([&](const CDockTile& tile) { tiles.push_back(tile); });
    constexpr std::int32_t kCalls = 400;
    for (std::int32_t index = 1; index <= kCalls; ++index) ShowCrawlProgressTile(1, index, kCalls);
    while (tiles.empty() || tiles.back().progress != 1.0) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    EXPECT_LT(tiles.size(), std::size_t{kCalls / 4});

    // A restore that comes while a tile is held leaves the plain icon last.
    for (std::int32_t index = 1; index <= 10; ++index) ShowCrawlProgressTile(2, index, 20);
    RestoreDockTile();
    ASSERT_FALSE(tiles.empty());
    EXPECT_LT(tiles.back().progress, 0);
    SetDockTileHook(nullptr);
}

}  // namespace
