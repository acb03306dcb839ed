// The crawl's progress and completion mails.
#include <cstdint>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "engine/mail/progress_mail.h"
#include "tests/mail/parsed_mail.h"
#include "engine/mail/mime_message.h"

namespace {

TEST(ProgressMail, PeriodAndPercentStayMeaningfulAtTheEdges)
{
    const struct {
        std::int32_t minutes;
        std::int64_t seconds;
    } periods[] = {{20, 1200}, {1, 60}, {0, 0}, {-5, 0}, {546, 32760}, {547, 32820}, {32767, 1966020}};
    for (const auto& p : periods) EXPECT_EQ(ProgressMailIntervalSeconds(p.minutes), p.seconds) << p.minutes;

    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    const struct {
        std::int32_t index, count, percent;
    } percents[] = {{0, 10, 0}, {1, 4, 25}, {2, 3, 66}, {10, 10, 100}, {5, 0, 0}, {0, 0, 0},
                    {3, -2, 0}, {-1, 10, 0}, {12, 10, 100}, {kMax - 1, kMax, 99}};
    for (const auto& p : percents) EXPECT_EQ(ProgressPercent(p.index, p.count), p.percent) << p.index << "/" << p.count;
}

TEST(ProgressMail, CarriesSubjectTextAndThePictureOfTheCrawl)
{
    std::int32_t asked[3] = {};
    const ProgressImageMaker maker = [&](std::int32_t number, std::int32_t index, std::int32_t count) {
        asked[0] = number;
        asked[1] = index;
        asked[2] = count;
        return std::string("\xff\xd8jpeg\xff\xd9");
    };
    const CMailBody mail = MakeProgressMail("bob@example.org", 2, 3, 4, "http://example.org/a?b=<c>&d", "1 min 5 secs",
                                            maker);
    EXPECT_EQ(asked[0], 2);
    EXPECT_EQ(asked[1], 3);
    EXPECT_EQ(asked[2], 4);
    EXPECT_EQ(mail.mSubject.str(), "Tidewell: Level 2, 75% complete");
    EXPECT_EQ(mail.mMessageText.str(), "Crawling \"http://example.org/a?b=<c>&d\". Elapsed time: 1 min 5 secs");
    ASSERT_EQ(mail.mParts.Count(), 1);

    const ParsedMail parsed = ParseMail(BuildMimeMessage(mail, "<x@example.org>", 0));
    ASSERT_EQ(parsed.entities.size(), 3u);
    EXPECT_EQ(parsed.entities[1].contentType, "text/plain");  // a URL is not HTML
    EXPECT_EQ(parsed.entities[2].contentType, "image/jpeg");
    EXPECT_EQ(parsed.entities[2].body, "\xff\xd8jpeg\xff\xd9");

    // No picture: no part, whether no maker is given or it makes nothing.
    EXPECT_TRUE(MakeProgressMail("b@x.org", 1, 0, 0, "u", "", nullptr).mParts.IsEmpty());
    EXPECT_TRUE(MakeProgressMail("b@x.org", 1, 0, 0, "u", "", [](auto, auto, auto) { return std::string(); })
                    .mParts.IsEmpty());
    EXPECT_EQ(MakeProgressMail("b@x.org", 1, 7, 0, "u", "", nullptr).mSubject.str(), "Tidewell: Level 1, 0% complete");

    const CMailBody done = MakeCompletionMail("bob@example.org", "http://example.org/", "2 hrs 1 sec");
    EXPECT_EQ(done.mSubject.str(), "Tidewell: download complete.");
    EXPECT_EQ(done.mMessageText.str(), "Crawl of \"http://example.org/\" completed. Elapsed time: 2 hrs 1 sec");
    EXPECT_EQ(done.mRecipient.str(), "bob@example.org");
}

}  // namespace
