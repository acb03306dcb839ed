// HTTP dates must read and write the same in every time zone and locale.
#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "foundation/system/date_text.h"
#include "foundation/system/http_dates.h"
#include "tests/support/temp_dir.h"
#include "tests/system/locale_switch.h"

namespace {

constexpr std::int64_t k7Dec2026 = 1796634303;  // Mon, 07 Dec 2026 09:05:03 UTC

struct ParseCase {
    const char* text;
    std::int64_t seconds;
};

const ParseCase kGoodDates[] = {
    {"Sun, 06 Nov 1994 08:49:37 GMT", 784111777},   // RFC 1123
    {"Sunday, 06-Nov-94 08:49:37 GMT", 784111777},  // RFC 850
    {"Sun Nov  6 08:49:37 1994", 784111777},        // asctime
    {"Wed, 21-Oct-2026 07:28:00 GMT", 1792567680},  // cookie form
    {"mon, 07 dec 2026 09:05:03 gmt", k7Dec2026},
    {"Mon, 7 Dec 2026 09:05:03 GMT", k7Dec2026},
    {"Thu, 01 Jan 1970 00:00:00 GMT", 0},
    {"Thu, 01-Jan-70 00:00:01 GMT", 1},
    {"Mon, 01 Jan 2001 00:00:00 +0000", 978307200},
    {"29 Feb 2024 12:00:00", 1709208000},
    {"Tue, 19 Jan 2038 03:14:08 GMT", 2147483648LL},  // past 32 bits
    {"Fri, 31 Dec 9999 23:59:59 GMT", 253402300799LL},
};

const char* const kBadDates[] = {
    "",
    "garbage",
    "Sun, 06 Nov 1994",                 // no time
    "Sun, 06 Nov 08:49:37 GMT",         // no year
    "Fri, 31 Feb 2023 00:00:00 GMT",    // no such day
    "Fri, 29 Feb 2023 00:00:00 GMT",    // not a leap year
    "Sun, 00 Nov 1994 08:49:37 GMT",
    "Sun, 06 Nov 1994 24:00:00 GMT",
    "Sun, 06 Nov 1994 08:60:00 GMT",
    "Sun, 06 Nov 1994 08:49:60 GMT",
    "Sun, 06 Foo 1994 08:49:37 GMT",
    "Mon, 01 Jan 1600 00:00:00 GMT",    // before the Gregorian years HTTP allows
    "Sun, 06 Nov 19945 08:49:37 GMT",
};

struct FormatCase {
    std::int64_t seconds;
    const char* text;
};

const FormatCase kFormats[] = {
    {0, "Thu, 01 Jan 1970 00:00:00 GMT"},
    {-1, "Wed, 31 Dec 1969 23:59:59 GMT"},
    {784111777, "Sun, 06 Nov 1994 08:49:37 GMT"},
    {k7Dec2026, "Mon, 07 Dec 2026 09:05:03 GMT"},
    {1709208000, "Thu, 29 Feb 2024 12:00:00 GMT"},
    {2147483648LL, "Tue, 19 Jan 2038 03:14:08 GMT"},
    {253402300799LL, "Fri, 31 Dec 9999 23:59:59 GMT"},
};

void CheckParsing()
{
    for (const ParseCase& c : kGoodDates) {
        std::int64_t seconds = -7;
        EXPECT_TRUE(ParseDateTimeText(c.text, seconds)) << c.text;
        EXPECT_EQ(seconds, c.seconds) << c.text;
    }
}

void CheckRejecting()
{
    for (const char* text : kBadDates) {
        std::int64_t seconds = -7;
        EXPECT_FALSE(ParseDateTimeText(text, seconds)) << text;
        EXPECT_EQ(seconds, -7) << text;
    }
    std::int64_t seconds = -7;
    EXPECT_FALSE(ParseDateTimeText(nullptr, seconds));
}

void CheckFormatting()
{
    for (const FormatCase& c : kFormats) {
        CFixedString255 text;
        FormatHTTPDate(c.seconds, text);
        EXPECT_STREQ(text.c_str(), c.text) << c.seconds;
    }
}

void CheckRoundTrips()
{
    // Every 12345678 s (about 143 days, so all weekdays and months come up)
    // from 1901 to 2100.
    for (std::int64_t seconds = -2177452800LL; seconds < 4102444800LL; seconds += 12345678) {
        CFixedString255 text;
        FormatHTTPDate(seconds, text);
        std::int64_t back = 0;
        ASSERT_TRUE(ParseDateTimeText(text.c_str(), back)) << text.c_str();
        ASSERT_EQ(back, seconds) << text.c_str();
    }
}

class HttpDates : public testing::TestWithParam<const char*> {
protected:
    CZoneAndLocale mSurroundings{GetParam(), "C"};
};

TEST_P(HttpDates, ParsesEveryFormToTheSameUTCSeconds) { CheckParsing(); }
TEST_P(HttpDates, RejectsBrokenDatesAndLeavesTheOutputAlone) { CheckRejecting(); }
TEST_P(HttpDates, FormatsEnglishGMT) { CheckFormatting(); }
TEST_P(HttpDates, FormattedDatesReadBackUnchanged) { CheckRoundTrips(); }

INSTANTIATE_TEST_SUITE_P(Zones, HttpDates, testing::Values("UTC0", "America/New_York", "Asia/Tokyo"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

// One test for everything under a non-C locale: making the locale with
// localedef takes seconds.
TEST(DatesInAnotherLocale, HttpDatesStayEnglishWhileDisplayFollowsTheLocale)
{
    testsupport::TempDir scratch;
    std::string why;
    std::string locale = FindNonCTimeLocale(scratch.Path(), why);
    if (locale.empty()) GTEST_SKIP() << "skipping the non-C locale row: " << why;
    CZoneAndLocale surroundings("Asia/Tokyo", locale);
    ASSERT_TRUE(surroundings.LocaleSet()) << locale;
    CheckParsing();
    CheckRejecting();
    CheckFormatting();
    CheckRoundTrips();

    CFixedString255 text;
    FormatDateTime(k7Dec2026, text);
    EXPECT_NE(std::string(text.c_str()).find("18:05:03"), std::string::npos) << text.c_str();
    EXPECT_EQ(std::string(text.c_str()).find("Dec"), std::string::npos)
        << "the month name should be the locale's: " << text.c_str();
}

TEST(Dates1904, EpochOfStoredFormatsIsTheStartOf1904)
{
    std::int64_t seconds = 0;
    ASSERT_TRUE(ParseDateTimeText("Fri, 01 Jan 1904 00:00:00 GMT", seconds));
    EXPECT_EQ(UnixToSeconds1904(seconds), 0);
    EXPECT_EQ(Seconds1904ToUnix(UnixToSeconds1904(k7Dec2026)), k7Dec2026);
}

TEST(DateText, ShowsLocalTimeWithSeconds)
{
    struct Row {
        const char* zone;
        const char* expected;
    } rows[] = {
        {"UTC0", "Mon 7 Dec 2026, 09:05:03"},
        {"Asia/Tokyo", "Mon 7 Dec 2026, 18:05:03"},
        {"America/New_York", "Mon 7 Dec 2026, 04:05:03"},
    };
    for (const Row& row : rows) {
        CZoneAndLocale surroundings(row.zone, "C");
        CFixedString255 text;
        FormatDateTime(k7Dec2026, text);
        EXPECT_STREQ(text.c_str(), row.expected) << row.zone;
    }
}

TEST(DateText, CurrentDateUsesTheLongForm)
{
    CZoneAndLocale surroundings("UTC0", "C");
    CFixedString255 text;
    FormatCurrentDateTime(text);
    std::string shown = text.c_str();
    const char* days[] = {"Sunday ", "Monday ", "Tuesday ", "Wednesday ", "Thursday ", "Friday ", "Saturday "};
    bool longDay = false;
    for (const char* day : days) longDay = longDay || shown.rfind(day, 0) == 0;
    EXPECT_TRUE(longDay) << shown;
    ASSERT_GE(shown.size(), 10u);
    std::string time = shown.substr(shown.size() - 8);
    EXPECT_TRUE(time[2] == ':' && time[5] == ':') << shown;
}

}  // namespace
