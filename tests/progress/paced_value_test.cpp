// A paced value lets a burst through as its first value at once and its
// newest value later, whether the event loop turns and lets the timer fire,
// or a busy loop keeps offering and never turns.
#include <chrono>
#include <cstdint>
#include <vector>

#include <QCoreApplication>
#include <QEventLoop>
#include <gtest/gtest.h>

#include "app/progress/paced_value.h"

namespace {

using namespace std::chrono_literals;

TEST(PacedValue, ABurstGoesAsItsFirstValueAtOnceAndItsNewestLater)
{
    struct SCase {
        const char* name;
        bool loopTurns;  // false: the offers go on and the loop never runs the timer
    } cases[] = {
        {"the event loop turns between offers", true},
        {"a busy loop never turns", false},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::int64_t> applied;
        // Long enough that the burst below always fits in it, even on a
        // loaded machine that stops this thread for a while.
        CPacedValue<std::int64_t> paced(100ms, [&applied](const std::int64_t& value) { applied.push_back(value); });
        paced.Offer(0);
        ASSERT_EQ(applied, std::vector<std::int64_t>{0});
        for (std::int64_t value = 1; value <= 1000; ++value) paced.Offer(value);
        ASSERT_EQ(applied.size(), 1u) << "a value went before its interval was over";

        // Offers go on until the held value goes; the loop is bounded so a
        // value that never goes fails rather than hangs.
        std::int64_t offered = 1000;
        for (std::int64_t turn = 0; applied.size() < 2 && turn < 100'000'000; ++turn) {
            if (c.loopTurns) {
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            } else {
                paced.Offer(++offered);
            }
        }
        ASSERT_EQ(applied.size(), 2u) << "the held value never went";
        // The newest value offered by then, not an older one held back.
        EXPECT_EQ(applied.back(), offered);
        paced.Flush();
        EXPECT_EQ(applied.size(), 2u) << "nothing was held after the value went";
    }
}

}  // namespace
