#include <gtest/gtest.h>

#include "engine/filters/filter_date.h"

namespace {

TEST(FilterDateTest, TypedForms)
{
    constexpr std::int64_t kMidnight = 1135987200;  // 2005-12-31 00:00:00 UTC
    struct Case {
        const char* text;
        bool parses;
        std::int64_t seconds;
    } cases[] = {
        {"Sat, 31 Dec 2005 10:00:00 GMT", true, kMidnight + 36000},
        {"31 Dec 2005 10:00:00", true, kMidnight + 36000},
        {"31 Dec 2005", true, kMidnight},
        {"December 31, 2005", true, kMidnight},
        {"2005-12-31", true, kMidnight},
        {"  2005-12-31  ", true, kMidnight},
        {"2005-12-31 10:00", true, kMidnight + 36000},
        {"2005-12-31T10:00:30", true, kMidnight + 36030},
        {"2005-02-30", false, 0},
        {"2005-13-01", false, 0},
        {"2005-12-31 25:00", false, 0},
        {"2005-12-31 10", false, 0},
        {"12/31/2005", false, 0},
        {"", false, 0},
        {"tomorrow", false, 0},
    };
    for (const Case& c : cases) {
        std::int64_t seconds = -7;
        EXPECT_EQ(ParseFilterDate(c.text, seconds), c.parses) << c.text;
        EXPECT_EQ(seconds, c.parses ? c.seconds : -7) << c.text;
    }
}

}  // namespace
