// The log pane is shown a few times a second; what it would clear before
// anyone saw it is dropped before it is laid out, and what it shows at the
// end is the newest whole lines.
#include <string>
#include <vector>

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

// Lines held as they come, trimmed on the way, give the pane what trimming
// them all at once would.
TEST(HeldLogLines, TrimmingOnTheWayKeepsWhatTrimmingAtTheEndKeeps)
{
    // Lines, and whether each is an error.
    using Lines = std::vector<std::pair<std::string, bool>>;
    Lines many;
    for (int i = 0; i < 500; ++i) many.emplace_back("line " + std::to_string(i), i % 7 == 3);
    Lines longLast = many;
    longLast.emplace_back().first.assign(100, 'x');
    // Sixteen lines of eight characters reach twice a 64-character pane
    // with the last one.
    Lines trimmedByTheLast;
    for (int i = 10; i < 26; ++i) trimmedByTheLast.emplace_back("line-" + std::to_string(i), false);
    const Lines none;
    Lines few;
    few.emplace_back("a", false);
    few.emplace_back("b", true);
    const struct {
        const char* name;
        const Lines& lines;
        std::size_t capacity;
    } cases[] = {
        {"a few", few, 40},
        {"many, in both colours", many, 64},
        {"taken right after a trim", trimmedByTheLast, 64},
        {"many, a larger pane", many, 1000},
        {"the newest line does not fit", longLast, 64},
        {"none", none, 64},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CHeldLogLines held(c.capacity);
        HeldLogRuns all;
        for (const auto& [text, error] : c.lines) {
            held.Add(text, error);
            if (all.empty() || all.back().second != error) all.emplace_back(std::string(), error);
            all.back().first.append(text).push_back('\n');
        }
        KeepNewestLines(all, c.capacity);
        EXPECT_EQ(held.Take(), all);
        EXPECT_TRUE(held.Take().empty()) << "taken lines are not held again";
    }
}

}  // namespace
