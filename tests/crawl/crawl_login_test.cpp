// Logins go to the site the user named: a start URL that redirects to
// another host leaves them behind, one that stays on its host keeps them.
#include <gtest/gtest.h>

#include "engine/crawl/start_redirection.h"
#include "tests/crawl/crawl_test_support.h"
#include "tests/support/http_peer.h"

namespace {

using namespace crawltest;
using namespace testsupport;

std::string Page(const std::string& body) { return "<html><head><title>T</title></head><body>" + body + "</body></html>"; }

class CrawlLogin : public CrawlEnvironment {};

TEST_F(CrawlLogin, LoginsStayWithTheNamedHostWhenTheStartURLRedirects)
{
    HttpPeer other({{.path = "/", .body = Page("<a href=\"/page.html\">p</a>")},
                    {.path = "/page.html", .body = Page("other"), .realm = HttpRealm{"Members", "ann", "secret"}}},
                   {.host = "127.0.0.2"});
    HttpPeer otherPort({{.path = "/", .body = Page("other port")}});
    HttpPeer named({{.path = "/away", .redirect = other.Url("/")},
                    {.path = "/port", .redirect = otherPort.Url("/")},
                    {.path = "/stay", .redirect = "/home"},
                    {.path = "/home", .body = Page("<a href=\"/page.html\">p</a>")},
                    {.path = "/page.html", .body = Page("named")}});
    struct Case {
        const char* what;
        std::string start;
        std::string landing;
        HttpPeer* crawled;
        bool loginsKept;
    };
    const Case cases[] = {
        {"to another host", named.Url("/away"), other.Url("/"), &other, false},
        {"to another port", named.Url("/port"), otherPort.Url("/"), &otherPort, false},
        {"on the same host", named.Url("/stay"), named.Url("/home"), &named, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CConfiguration configuration = MakeConfiguration();
        configuration.mGeneralOptions.name = "gen";
        configuration.mGeneralOptions.password = "genpw";
        configuration.mSiteLogin.siteUsername = "ann";
        configuration.mSiteLogin.sitePassword = "secret";
        configuration.mSiteLogin.realmList.Append({"Members", "ann", "secret"});
        const std::size_t before = c.crawled->Requests().size();

        std::string url = c.start;
        EXPECT_EQ(FollowStartRedirections(configuration, url, 11), 1);
        EXPECT_EQ(url, c.landing);
        // The named host itself was asked with the general login.
        EXPECT_EQ(named.Requests().back().Header("Authorization").value_or(""), "Basic Z2VuOmdlbnB3");

        RecordingGrabber window(configuration);
        ASSERT_TRUE(RunGrab(window, configuration, url));
        const auto requests = c.crawled->Requests();
        ASSERT_GT(requests.size(), before);
        for (std::size_t i = before; i < requests.size(); ++i) {
            EXPECT_EQ(requests[i].Header("Authorization").has_value(), c.loginsKept)
                << requests[i].method << " " << requests[i].target;
        }
    }
}

}  // namespace
