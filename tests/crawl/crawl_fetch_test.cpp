// Crawls against the scripted HTTP peer: redirect chains and META
// refreshes, realm logins, flaky, stalled and cut-off answers, dynamic
// pages, and the reports written from what happened.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <regex>

#include <unistd.h>

#include "engine/crawl/start_redirection.h"
#include "tests/crawl/crawl_test_support.h"
#include "tests/support/http_peer.h"

namespace {

using namespace crawltest;
using namespace testsupport;

class CrawlFetch : public CrawlEnvironment {
protected:
    void SetUp() override
    {
        CrawlEnvironment::SetUp();
        SetPreference("Grab Offsite URLs", "false");
    }
    std::string Host(const HttpPeer& peer) const { return "127.0.0.1/" + std::to_string(peer.Port()) + "/"; }
    std::string Report(const HttpPeer& peer, const char* suffix) const
    {
        return FileText(Mirror() + "/127.0.0.1-" + std::to_string(peer.Port()) + suffix);
    }
};

TEST_F(CrawlFetch, RedirectsAreFollowedThreeTimesAndMarkBothEndsVisited)
{
    HttpPeer peer({
        {.path = "/", .body = Page("Start", "<a href=\"/old\">old</a> <a href=\"/new\">new</a> "
                                            "<a href=\"/chain1\">chain</a> <a href=\"/meta\">meta</a> "
                                            "<a href=\"/self\">self</a>")},
        {.path = "/old", .status = 301, .redirect = "/new"},
        {.path = "/new", .body = Page("New", "new page")},
        {.path = "/chain1", .redirect = "chain2"},
        {.path = "/chain2", .redirect = "{base}/chain3"},
        {.path = "/chain3", .redirect = "/chain4"},
        {.path = "/chain4", .redirect = "/end"},
        {.path = "/end", .body = Page("End", "end")},
        {.path = "/meta", .body = "<html><head><META HTTP-EQUIV=\"Refresh\" CONTENT=\"0; URL=/target\"></head></html>"},
        {.path = "/target", .body = Page("Target", "target")},
        {.path = "/self", .body = "<html><head><meta http-equiv=refresh content=\"0; url=self\"></head>self</html>"},
    });
    CConfiguration configuration = MakeConfiguration();
    configuration.mMiscOptions.generateSiteMap = 1;
    configuration.mMiscOptions.siteMapFormat = 2;
    RecordingGrabber window(configuration);
    ASSERT_TRUE(RunGrab(window, configuration, peer.Url("/")));

    EXPECT_EQ(peer.RequestCount("/new", "GET"), 1) << "a redirect target is not fetched again";
    for (const char* hop : {"/chain1", "/chain2", "/chain3", "/chain4"})
        EXPECT_EQ(peer.RequestCount(hop, "GET"), 1) << hop;
    EXPECT_EQ(peer.RequestCount("/end", "GET"), 0) << "the fourth redirect is not followed";
    EXPECT_EQ(peer.RequestCount("/target", "GET"), 1);
    EXPECT_EQ(peer.RequestCount("/self", "GET"), 1) << "a refresh to the page itself is no redirect";

    const auto tree = ReadTree(Mirror());
    const std::string host = Host(peer);
    // Names without an extension get the one of their Content-Type.
    EXPECT_TRUE(tree.contains(host + "new.html"));
    EXPECT_TRUE(tree.contains(host + "target.html"));
    EXPECT_TRUE(tree.contains(host + "self.html"));
    EXPECT_FALSE(tree.contains(host + "old"));
    EXPECT_FALSE(tree.contains(host + "old.html"));
    EXPECT_FALSE(tree.contains(host + "chain4"));
    // The links to the redirected URLs open their targets' files.
    const std::string& start = tree.at(host + "Index.html");
    EXPECT_NE(start.find("<a href=\"new.html\">old</a>"), std::string::npos) << start;
    EXPECT_NE(start.find("<a href=\"new.html\">new</a>"), std::string::npos) << start;
    EXPECT_NE(start.find("<a href=\"target.html\">meta</a>"), std::string::npos) << start;
    EXPECT_NE(start.find("<a href=\"" + peer.Url("/chain1") + "\">chain</a>"), std::string::npos) << start;
    EXPECT_TRUE(CheckMirrorLinks(Mirror()).broken.empty());
    EXPECT_TRUE(window.Logged("Redirected to: /new"));

    // Both ends of each followed redirect are in the site map; the chain
    // that never reached a page saved nothing and is not.
    const std::string siteMap = Report(peer, ".sitemap.html");
    for (const char* url : {"/old", "/new", "/meta", "/target"})
        EXPECT_NE(siteMap.find(">" + peer.Url(url) + "</A>"), std::string::npos) << url << "\n" << siteMap;
    for (const char* url : {"/chain1", "/chain4"})
        EXPECT_EQ(siteMap.find(">" + peer.Url(url) + "</A>"), std::string::npos) << url << "\n" << siteMap;
}

TEST_F(CrawlFetch, RealmLoginsAnswerTheirRealmOnlyAndTheRestIsReported)
{
    HttpPeer peer({
        {.path = "/", .body = Page("Start", "<a href=\"/secret.html\">s</a> <a href=\"/other.html\">o</a> "
                                            "<a href=\"/gone.html\">g</a>")},
        {.path = "/secret.html", .body = Page("Secret", "in"), .realm = HttpRealm{"Vault", "ann", "pw"}},
        {.path = "/other.html", .body = Page("Other", "in"), .realm = HttpRealm{"Elsewhere", "bob", "pw"}},
    });
    CConfiguration configuration = MakeConfiguration();
    configuration.mMiscOptions.errorLinks = 1;
    CRealm realm;
    realm.realm = "Vault";
    realm.userName = "ann";
    realm.password = "pw";
    configuration.mSiteLogin.realmList.Append(realm);
    RecordingGrabber window(configuration);
    ASSERT_TRUE(RunGrab(window, configuration, peer.Url("/")));

    const auto tree = ReadTree(Mirror());
    EXPECT_EQ(tree.at(Host(peer) + "secret.html"), Page("Secret", "in"));
    EXPECT_FALSE(tree.contains(Host(peer) + "other.html"));
    EXPECT_EQ(std::to_string(window.progress.unauthorized), "2");
    EXPECT_EQ(std::to_string(window.progress.errors), "2");
    EXPECT_TRUE(window.Logged("Unauthorized: " + peer.Url("/other.html") + "\rRealm: Elsewhere"));
    const std::string start = peer.Url("/");
    // The URL no login answered is listed once, as unauthorized.
    EXPECT_EQ(Report(peer, ".errors.txt"),
              "Errors: \n\n" + peer.Url("/gone.html") + "\nReferred from: " + start + "\n\n\nUnauthorized URLs: \n\n" +
                  peer.Url("/secret.html") + "\n\n\n" + peer.Url("/other.html") + "\n\n");
}

TEST_F(CrawlFetch, FailedAttemptsAreRetried)
{
    SetPreference("Message Retries", "2");
    SetPreference("Message Retries Interval", "0");
    ReloadSettings();
    HttpPeer peer({
        {.path = "/", .body = Page("Start", "<a href=\"/flaky.html\">f</a> <a href=\"/cut.html\">c</a>")},
        {.path = "/flaky.html", .body = Page("Flaky", "finally"), .flaky = 2},
        {.path = "/cut.html", .body = Page("Cut", std::string(4000, 'x')), .closeMidBody = 100},
    });
    CConfiguration configuration = MakeConfiguration();
    configuration.mMiscOptions.errorLinks = 1;
    RecordingGrabber window(configuration);
    ASSERT_TRUE(RunGrab(window, configuration, peer.Url("/")));

    const auto tree = ReadTree(Mirror());
    EXPECT_EQ(tree.at(Host(peer) + "flaky.html"), Page("Flaky", "finally"));
    EXPECT_FALSE(tree.contains(Host(peer) + "cut.html"));
    EXPECT_EQ(peer.RequestCount("/flaky.html", "GET"), 3);
    EXPECT_EQ(peer.RequestCount("/cut.html", "GET"), 3);
    EXPECT_TRUE(window.Logged("The URL could not be grabbed. Will retry in 0 seconds. (Attempt 2)"));
    EXPECT_TRUE(window.Logged("The URL could not be grabbed. Will retry in 0 seconds. (Last attempt)"));
    EXPECT_EQ(std::to_string(window.progress.errors), "1");
    EXPECT_EQ(Report(peer, ".errors.txt"),
              "Errors: \n\n" + peer.Url("/cut.html") + "\nReferred from: " + peer.Url("/") + "\n\n");
}

TEST_F(CrawlFetch, AStalledAnswerEndsAtTheTimeOutAsAnError)
{
    HttpPeer peer({
        {.path = "/", .body = Page("Start", "<a href=\"/stall.html\">s</a> <a href=\"/fine.html\">f</a>")},
        {.path = "/stall.html", .body = Page("Stall", "late"), .stallSeconds = 20},
        {.path = "/fine.html", .body = Page("Fine", "fine")},
    });
    CConfiguration configuration = MakeConfiguration();
    configuration.mGeneralOptions.timeout = 1;
    RecordingGrabber window(configuration);
    // After its stall the page would come whole: only the time-out keeps it out.
    ASSERT_TRUE(RunGrab(window, configuration, peer.Url("/")));
    const auto tree = ReadTree(Mirror());
    EXPECT_FALSE(tree.contains(Host(peer) + "stall.html"));
    EXPECT_TRUE(tree.contains(Host(peer) + "fine.html"));
    EXPECT_EQ(std::to_string(window.progress.errors), "1");
}

TEST_F(CrawlFetch, DynamicPagesGetNamesOfTheirOwnAndQueriesKeepThePage)
{
    HttpPeer peer({
        {.path = "/", .body = Page("Start", "<a href=\"p.php?x=1\">1</a> <a href=\"p.php?x=2\">2</a> "
                                            "<a href=\"dir/?q=1\">q</a> <a href=\"dir/\">dir</a> "
                                            "<a href=\"plain.php\">php</a>")},
        {.path = "/p.php", .query = "x=1", .body = Page("One", "<a href=\"?x=2\">other</a>")},
        {.path = "/p.php", .query = "x=2", .body = Page("Two", "two")},
        {.path = "/dir/", .query = "q=1", .body = Page("Query", "query")},
        {.path = "/dir/", .body = Page("Dir", "folder index")},
        {.path = "/plain.php", .body = Page("Plain", "plain")},
    });
    CConfiguration configuration = MakeConfiguration();
    RecordingGrabber window(configuration);
    ASSERT_TRUE(RunGrab(window, configuration, peer.Url("/")));

    const auto tree = ReadTree(Mirror());
    const std::string host = Host(peer);
    // The folder's index is its own page, never a dynamic one.
    EXPECT_EQ(tree.at(host + "dir/Index.html"), Page("Dir", "folder index"));
    std::map<std::string, int> pages;
    for (const auto& [path, bytes] : tree)
        if (std::regex_match(path, std::regex(".*/[0-9A-F-]{36}\\.html"))) ++pages[bytes];
    EXPECT_EQ(pages.size(), 4u);
    EXPECT_EQ(pages[Page("Two", "two")], 1) << "both links to p.php?x=2 lead to one file";
    EXPECT_EQ(pages[Page("Query", "query")], 1);
    EXPECT_EQ(pages[Page("Plain", "plain")], 1);
    EXPECT_EQ(peer.RequestCount("/p.php?x=2", "GET"), 1);
    const auto links = CheckMirrorLinks(Mirror());
    EXPECT_TRUE(AllLinksLocal(links));
    EXPECT_EQ(links.local, 6);
}

TEST_F(CrawlFetch, SiteMapAndAddressesAreWrittenAsHtmlAndLines)
{
    HttpPeer peer({
        {.path = "/", .body = Page("Home & <Away>", "<a href=\"a/x.html\">x</a> <a href=\"mailto:ann@example.com\">Ann</a>"
                                                    " <a href=\"a/y.html?q=1&amp;r=2\">y</a>"
                                                    " <a href=\"MAILTO:bob@example.com?subject=hi\">Bob B.</a>")},
        {.path = "/a/x.html", .body = Page("", "untitled")},
        {.path = "/a/y.html", .body = Page("Why", "y")},
    });
    CConfiguration configuration = MakeConfiguration();
    configuration.mMiscOptions.generateSiteMap = 1;
    configuration.mMiscOptions.siteMapFormat = 3;
    configuration.mMiscOptions.extractEmailAddresses = 1;
    RecordingGrabber window(configuration);
    ASSERT_TRUE(RunGrab(window, configuration, peer.Url("/")));

    const std::string host = "127.0.0.1:" + std::to_string(peer.Port());
    const std::string y = peer.Url("/a/y.html?q=1&amp;r=2");
    EXPECT_EQ(Report(peer, ".sitemap.html"),
              "<HTML>\n<HEAD>\n<TITLE>\n" + host + " Site Map</TITLE>\n</HEAD>\n<BODY BGCOLOR=\"#FFFFFF\">\n<H2>" +
                  host + "</H2>\n\t<UL>\n\t<LI><A HREF=\"" + peer.Url("/") + "\">Home &amp; &lt;Away&gt; (" +
                  peer.Url("/") + ")</A>\n\t<LI><B>a</B>\n\t\t<UL>\n\t\t<LI><A HREF=\"" + peer.Url("/a/x.html") +
                  "\">x.html (" + peer.Url("/a/x.html") + ")</A>\n\t\t<LI><A HREF=\"" + y + "\">Why (" + y +
                  ")</A>\n\t\t</UL>\n\t</UL>\n</BODY>\n</HTML>\n");
    EXPECT_EQ(Report(peer, ".email.txt"), "Ann\tann@example.com\nBob B.\tbob@example.com\n");
}

}  // namespace

namespace {

TEST_F(CrawlFetch, DynamicStartPagesAndRedirectTargetsNeverTakeTheIndexName)
{
    HttpPeer peer({
        {.path = "/dir/", .query = "start=1", .body = Page("Start", "<a href=\"/go\">go</a> <a href=\"./\">index</a>")},
        {.path = "/go", .redirect = "/dir/?x=1"},
        {.path = "/dir/", .query = "x=1", .body = Page("Target", "target")},
        {.path = "/dir/", .body = Page("Index", "the folder's own page")},
    });
    CConfiguration configuration = MakeConfiguration();
    RecordingGrabber window(configuration);
    ASSERT_TRUE(RunGrab(window, configuration, peer.Url("/dir/?start=1")));
    const auto tree = ReadTree(Mirror());
    const std::string folder = Host(peer) + "dir/";
    EXPECT_EQ(tree.at(folder + "Index.html"), Page("Index", "the folder's own page"));
    int generated = 0;
    for (const auto& [path, bytes] : tree)
        if (path.starts_with(folder) && std::regex_match(path.substr(folder.size()), std::regex("[0-9A-F-]{36}\\.html")))
            ++generated;
    EXPECT_EQ(generated, 2) << "the start page and the redirect's target";
    EXPECT_TRUE(AllLinksLocal(CheckMirrorLinks(Mirror())));
}

TEST_F(CrawlFetch, AFailedSaveIsAnErrorAndNotAGrabbedFile)
{
    HttpPeer peer({
        {.path = "/", .body = Page("Start", "<a href=\"/page.html\">p</a> <a href=\"/fine.html\">f</a>")},
        {.path = "/page.html", .body = Page("Page", "page")},
        {.path = "/fine.html", .body = Page("Fine", "fine")},
    });
    // A link to outside the mirror stands where the page's file belongs.
    mRoot.MakeFolder("mirror/" + Host(peer));
    ASSERT_EQ(::symlink(mRoot.File("outside.html").c_str(), mRoot.File("mirror/" + Host(peer) + "page.html").c_str()), 0);
    CConfiguration configuration = MakeConfiguration();
    configuration.mMiscOptions.errorLinks = 1;
    RecordingGrabber window(configuration);
    ASSERT_TRUE(RunGrab(window, configuration, peer.Url("/")));
    EXPECT_EQ(std::to_string(window.progress.errors), "1");
    EXPECT_EQ(std::to_string(window.progress.requests), "3");
    EXPECT_NE(window.LogTranscript().find("Total files grabbed: 2\r"), std::string::npos) << window.LogTranscript();
    EXPECT_TRUE(window.Logged("The file could not be saved: " + peer.Url("/page.html") +
                              " (Too many levels of symbolic links)"))
        << window.LogTranscript();
    EXPECT_NE(Report(peer, ".errors.txt").find(peer.Url("/page.html")), std::string::npos);
    // The link to it goes to the server.
    EXPECT_NE(ReadTree(Mirror()).at(Host(peer) + "Index.html").find("\"" + peer.Url("/page.html") + "\""),
              std::string::npos);
}

}  // namespace

namespace {

// The start check reads the start page and hands its answer to the crawl,
// which takes it, cookies included, instead of asking again. A page the
// check could not read whole is asked for anew, and so is one whose answer
// was not handed over: nothing passes between check and crawl otherwise.
TEST_F(CrawlFetch, TheStartPageIsAskedForOnceWhenTheStartCheckReadItWhole)
{
    const std::string big(300 * 1024, 'x');
    HttpPeer peer({
        {.path = "/", .body = "<html><body><a href=\"next.html\">n</a></body></html>", .setCookies = {"seen=1"}},
        {.path = "/next.html", .body = "<html><body>next</body></html>", .requireCookie = "seen=1"},
        {.path = "/big.html", .body = "<html><body><a href=\"next.html\">n</a>" + big + "</body></html>",
         .setCookies = {"seen=1"}},
    });
    struct Row {
        const char* start;  // as typed
        const char* target;
        bool quick;
        bool handed;
        int startRequests;
    } rows[] = {
        {"/", "/", false, true, 1},
        {"/", "/", true, true, 1},
        {"", "/", true, true, 1},  // the crawl spells it with its slash
        {"/big.html", "/big.html", false, true, 2},
        {"/", "/", false, false, 2},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.start) + (row.quick ? " quick" : "") + (row.handed ? "" : " not handed"));
        const int before = peer.RequestCount(row.target, "GET");
        const int nextBefore = peer.RequestCount("/next.html", "GET");
        const int connectionsBefore = peer.ConnectionCount();
        CConfiguration configuration = MakeConfiguration();
        std::string url = peer.Url(row.start);
        CStartAnswer answer;
        EXPECT_EQ(FollowStartRedirections(configuration, url, 11, &answer), 0);
        if (!row.handed) answer = {};
        CCrawlCollaborators collaborators = StandardCrawlCollaborators({}, std::move(answer));
        if (row.quick) {
            RecordingQuickGrabber window(configuration);
            ASSERT_TRUE(RunQuickGrab(window, configuration, url, std::move(collaborators)));
        } else {
            RecordingGrabber window(configuration);
            ASSERT_TRUE(RunGrab(window, configuration, url, std::move(collaborators)));
        }
        EXPECT_EQ(peer.RequestCount(row.target, "GET"), before + row.startRequests);
        EXPECT_EQ(peer.RequestCount("/next.html", "GET"), nextBefore + 1);
        // Check and crawl run on the one transfer service: its kept-alive
        // connection serves both (a page read in part costs one more).
        EXPECT_LE(peer.ConnectionCount() - connectionsBefore, 1);
        // The cookie of the start page's answer was sent with the next request.
        EXPECT_NE(ReadTree(Mirror()).at(Host(peer) + "next.html").find("next"), std::string::npos);
    }
}

}  // namespace
