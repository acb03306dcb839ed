// A crawl reaches what lies outside the engine only through what its starter
// hands it: the preferences it consults, its mail sender and its clock.

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/crawl/crawl_collaborators.h"
#include "engine/crawl/elapsed_time.h"
#include "engine/mail/mail_body.h"
#include "engine/mail/send_mail_thread.h"
#include "tests/crawl/crawl_test_support.h"
#include "tests/support/http_peer.h"

namespace {

using namespace crawltest;
using namespace testsupport;

TEST(CrawlCollaborators, EachOneMustBeGiven)
{
    const CrawlPreferencesReader reader = [] { return CCrawlPreferences{}; };
    const CrawlMailSender sender = [](const CMailInfo&) {};
    const CrawlClock clock = [] { return std::int64_t{0}; };
    struct Case {
        const char* name;
        CrawlPreferencesReader reader;
        CrawlMailSender sender;
        CrawlClock clock;
        bool accepted;
    };
    const Case cases[] = {
        {"all given", reader, sender, clock, true},
        {"no preferences", {}, sender, clock, false},
        {"no mail sender", reader, {}, clock, false},
        {"no clock", reader, sender, {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.accepted) EXPECT_NO_THROW(CCrawlCollaborators({}, c.reader, c.sender, c.clock));
        else EXPECT_THROW(CCrawlCollaborators({}, c.reader, c.sender, c.clock), std::invalid_argument);
    }
}

class CrawlSeam : public CrawlEnvironment {};

TEST_F(CrawlSeam, ACrawlUsesThePreferencesMailAndClockItIsHanded)
{
    // The store asks for no site map; the handed-in preferences do.
    SetPreference("GenerateSitemap", "false");
    SetPreference("Mail Recipient", "owner@example.com");
    HttpPeer peer({{.path = "/", .body = Page("start", "only")}});

    int preferenceReads = 0;
    std::vector<CMailInfo> mails;
    // A time of day the real clock does not show now.
    const std::int64_t fixed = static_cast<std::int64_t>(std::time(nullptr)) - 12345;
    CCrawlCollaborators collaborators(
        {},
        [&] {
            ++preferenceReads;
            CCrawlPreferences preferences;
            preferences.generateSitemap = true;
            return preferences;
        },
        [&](const CMailInfo& mail) { mails.push_back(mail); }, [fixed] { return fixed; });

    CConfiguration configuration = MakeConfiguration();
    configuration.mMiscOptions.generateSiteMap = 0;
    RecordingGrabber window(configuration);
    ASSERT_TRUE(RunGrab(window, configuration, peer.Url("/"), std::move(collaborators)));

    EXPECT_EQ(preferenceReads, 1) << "read once, when the crawl begins";
    EXPECT_EQ(configuration.mMiscOptions.generateSiteMap, 1);
    ASSERT_EQ(mails.size(), 1u) << "the completion mail, through the sender handed in";
    EXPECT_EQ(mails[0].mBody.mRecipient.str(), "owner@example.com");
    EXPECT_EQ(MailsBeingSent(), 0u) << "nothing went past the sender";
    EXPECT_EQ(window.progress.startSeconds, fixed);
    EXPECT_EQ(window.progress.nowSeconds, fixed);
    EXPECT_EQ(window.stateTimes, (std::vector<std::int64_t>{fixed, fixed}));
}

}  // namespace
