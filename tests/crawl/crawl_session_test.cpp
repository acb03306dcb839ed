// What a crawl carries from request to request and from one crawl to the
// next: cookies (kept in the download folder between crawls) and the form
// that a configuration submits in place of its start URL.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "tests/crawl/crawl_test_support.h"
#include "tests/support/http_peer.h"

namespace {

using namespace crawltest;
using namespace testsupport;

std::string Page(const std::string& body) { return "<html><head><title>T</title></head><body>" + body + "</body></html>"; }

// The requests for a target, HEADs left out.
std::vector<HttpRequestRecord> RequestsFor(const HttpPeer& peer, const std::string& target)
{
    std::vector<HttpRequestRecord> found;
    for (const auto& request : peer.Requests())
        if (request.target == target && request.method != "HEAD") found.push_back(request);
    return found;
}

class CrawlSession : public CrawlEnvironment {
protected:
    void SetUp() override
    {
        CrawlEnvironment::SetUp();
        SetPreference("Grab Offsite URLs", "false");
        // The second crawl must ask the server, not the first crawl's files.
        SetPreference("Load URLs from disk", "false");
    }
    std::string Host(const HttpPeer& peer) const { return "127.0.0.1/" + std::to_string(peer.Port()) + "/"; }
};

TEST_F(CrawlSession, CookiesAreSentWithinACrawlAndKeptForTheNextOne)
{
    HttpPeer peer({
        {.path = "/", .body = Page("<a href=\"/private.html\">p</a>"),
         .setCookies = {"sid=abc; Path=/; Expires=Wed, 01 Jan 2053 00:00:00 GMT", "visit=1; Path=/"}},
        {.path = "/private.html", .body = Page("members only"), .requireCookie = "sid=abc"},
    });
    {
        CConfiguration configuration = MakeConfiguration();
        RecordingGrabber window(configuration);
        ASSERT_TRUE(RunGrab(window, configuration, peer.Url("/")));
        EXPECT_EQ(std::to_string(window.progress.cookies), "2");
    }
    EXPECT_EQ(ReadTree(Mirror()).at(Host(peer) + "private.html"), Page("members only"));
    const std::string cookieFile = FileText(Mirror() + "/127.0.0.1-" + std::to_string(peer.Port()) + ".cookies.plist");
    EXPECT_NE(cookieFile.find("<string>sid</string>"), std::string::npos) << cookieFile;
    EXPECT_NE(cookieFile.find("<string>abc</string>"), std::string::npos) << cookieFile;

    // A new crawl of the same host into the same folder starts with them.
    std::filesystem::remove(Mirror() + "/" + Host(peer) + "private.html");
    CConfiguration configuration = MakeConfiguration();
    RecordingQuickGrabber window(configuration);
    ASSERT_TRUE(RunQuickGrab(window, configuration, peer.Url("/private.html")));
    const auto requests = RequestsFor(peer, "/private.html");
    ASSERT_EQ(requests.size(), 2u);
    // The saved cookie comes back; the session's own cookie has expired.
    // However many cookies go, they share one Cookie line.
    EXPECT_EQ(requests[0].HeaderValues("Cookie"), (std::vector<std::string>{"sid=abc; visit=1"}));
    EXPECT_EQ(requests[1].HeaderValues("Cookie"), std::vector<std::string>{"sid=abc"});
    EXPECT_EQ(ReadTree(Mirror()).at(Host(peer) + "private.html"), Page("members only"));
}

TEST_F(CrawlSession, WithoutCookiesNoneAreSentOrSaved)
{
    HttpPeer peer({
        {.path = "/", .body = Page("<a href=\"/private.html\">p</a>"), .setCookies = {"sid=abc; Path=/"}},
        {.path = "/private.html", .body = Page("members only"), .requireCookie = "sid=abc"},
    });
    CConfiguration configuration = MakeConfiguration();
    configuration.mGeneralOptions.useCookies = 0;
    configuration.mMiscOptions.errorLinks = 1;
    RecordingGrabber window(configuration);
    ASSERT_TRUE(RunGrab(window, configuration, peer.Url("/")));
    const auto tree = ReadTree(Mirror());
    EXPECT_FALSE(tree.contains(Host(peer) + "private.html"));
    EXPECT_FALSE(tree.contains("127.0.0.1-" + std::to_string(peer.Port()) + ".cookies.plist"));
    EXPECT_EQ(std::to_string(window.progress.errors), "1");
}

// A first session has no cookie file; one that is there but cannot be read
// is told before the crawl writes this session's cookies over it.
TEST_F(CrawlSession, ACookieFileThatCannotBeReadIsLogged)
{
    HttpPeer peer({{.path = "/", .body = Page("home"), .setCookies = {"sid=abc; Path=/"}}});
    const std::string file = Mirror() + "/127.0.0.1-" + std::to_string(peer.Port()) + ".cookies.plist";
    const struct {
        const char* name;
        std::function<void()> prepare;
        const char* reason;  // "" when nothing is told
    } cases[] = {
        {"first session", [&] { std::filesystem::remove_all(file); }, ""},
        {"not a property list", [&] { mRoot.Write("mirror/" + file.substr(Mirror().size() + 1), "sid=abc"); },
         "not a cookie file"},
        {"a folder in its place",
         [&] {
             std::filesystem::remove_all(file);
             std::filesystem::create_directory(file);
         },
         "Is a directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::create_directories(Mirror());
        c.prepare();
        CConfiguration configuration = MakeConfiguration();
        RecordingGrabber window(configuration);
        ASSERT_TRUE(RunGrab(window, configuration, peer.Url("/")));
        const std::string told = "The cookies of the last session could not be read: " + file;
        EXPECT_EQ(window.LogTranscript().find(told) != std::string::npos, *c.reason != '\0') << window.LogTranscript();
        if (*c.reason != '\0') {
            EXPECT_TRUE(window.Logged(told + " (" + c.reason + ")")) << window.LogTranscript();
        }
    }
}

TEST_F(CrawlSession, AFormIsPostedToItsActionAndItsAnswerFollowedWithItsCookies)
{
    HttpPeer peer({
        {.path = "/form.html", .body = Page("<form action=\"/login\">")},
        {.method = "POST", .path = "/login", .status = 302, .redirect = "/welcome.html",
         .setCookies = {"session=ok; Path=/"}},
        {.path = "/welcome.html", .body = Page("<a href=\"members.html\">m</a>"), .requireCookie = "session=ok"},
        {.path = "/members.html", .body = Page("inside"), .requireCookie = "session=ok"},
    });
    CConfiguration configuration = MakeConfiguration();
    CFormOptions& form = configuration.mFormOptions;
    form.formURL = peer.Url("/form.html").c_str();
    form.formActionURL = peer.Url("/login").c_str();
    form.method = CFormOptions::kMethodPost;
    for (const auto& [name, value] : {std::pair{"user", "ann"}, std::pair{"note", "a b&c"}}) {
        CInputItem item;
        item.name = name;
        item.value = value;
        form.inputItemList.Append(item);
    }
    RecordingGrabber window(configuration);
    // The window starts a form's crawl at the form's action.
    ASSERT_TRUE(RunGrab(window, configuration, peer.Url("/login")));

    const auto posts = RequestsFor(peer, "/login");
    ASSERT_EQ(posts.size(), 1u);
    EXPECT_EQ(posts[0].method, "POST");
    EXPECT_EQ(posts[0].body, "user=ann&note=a+b%26c");
    EXPECT_TRUE(RequestsFor(peer, "/form.html").empty());
    const auto tree = ReadTree(Mirror());
    EXPECT_EQ(tree.at(Host(peer) + "members.html"), Page("inside"));
    ASSERT_TRUE(tree.contains(Host(peer) + "welcome.html"));
    EXPECT_EQ(window.firstFile, Mirror() + "/" + Host(peer) + "welcome.html");
    EXPECT_EQ(std::to_string(window.progress.errors), "0");
}

TEST_F(CrawlSession, AFormSentWithGetCarriesItsQuery)
{
    HttpPeer peer({
        {.path = "/search", .query = "q=tide+tables", .body = Page("<a href=\"hit.html\">hit</a>")},
        {.path = "/hit.html", .body = Page("hit")},
    });
    CConfiguration configuration = MakeConfiguration();
    CFormOptions& form = configuration.mFormOptions;
    form.formActionURL = peer.Url("/search").c_str();
    form.method = CFormOptions::kMethodGet;
    CInputItem item;
    item.name = "q";
    item.value = "tide tables";
    form.inputItemList.Append(item);
    RecordingGrabber window(configuration);
    ASSERT_TRUE(RunGrab(window, configuration, peer.Url("/search")));
    EXPECT_EQ(RequestsFor(peer, "/search?q=tide+tables").size(), 1u);
    EXPECT_EQ(ReadTree(Mirror()).at(Host(peer) + "hit.html"), Page("hit"));
}

TEST_F(CrawlSession, AFailedFormSubmissionEndsTheCrawlAfterItsStart)
{
    HttpPeer peer({{.path = "/page.html", .body = Page("never")}});
    CConfiguration configuration = MakeConfiguration();
    CFormOptions& form = configuration.mFormOptions;
    form.formActionURL = "http://127.0.0.1:9/closed";
    CInputItem item;
    item.name = "q";
    form.inputItemList.Append(item);
    RecordingGrabber window(configuration);
    ASSERT_TRUE(RunGrab(window, configuration, "http://127.0.0.1:9/closed"));
    EXPECT_TRUE(window.Logged("The form submission failed."));
    EXPECT_EQ(std::to_string(window.progress.errors), "1");
    EXPECT_TRUE(peer.Requests().empty());
}

}  // namespace
