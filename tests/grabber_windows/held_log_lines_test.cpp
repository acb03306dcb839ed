// The log pane is shown a few times a second; what it would clear before
// anyone saw it is dropped before it is laid out, and what it shows at the
// end is the newest whole lines.
#include <gtest/gtest.h>

#include "app/windows/grabber/held_log_lines.h"

namespace {

TEST(HeldLogLines, OnlyTheNewestWholeLinesThatFitAreKept)
{
    const struct {
        const char* name;
        HeldLogRuns runs;
        std::size_t capacity;
        HeldLogRuns kept;
    } cases[] = {
        {"all fit", {{"a\nb\n", false}, {"err\n", true}}, 100, {{"a\nb\n", false}, {"err\n", true}}},
        {"older runs go whole", {{"old\n", false}, {"new1\n", true}, {"new2\n", false}}, 12,
         {{"new1\n", true}, {"new2\n", false}}},
        {"a run is cut at a line", {{"one\ntwo\nthree\n", false}, {"four\n", true}}, 13,
         {{"three\n", false}, {"four\n", true}}},
        {"a line longer than the room goes", {{"averyverylongline\n", false}, {"x\n", true}}, 8, {{"x\n", true}}},
        {"nothing held", {}, 10, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HeldLogRuns runs = c.runs;
        KeepNewestLines(runs, c.capacity);
        EXPECT_EQ(runs, c.kept);
        std::size_t size = 0;
        for (const auto& run : runs) size += run.first.size();
        EXPECT_LT(size, c.capacity);
    }
}

}  // namespace
