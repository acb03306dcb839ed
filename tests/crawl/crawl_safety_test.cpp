// Links a site may throw at the crawl (climbing paths, escaped slashes and
// dots, other schemes), other hosts of one site with ports, and the
// modification-date check in several time zones.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <utime.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <regex>

#include "tests/crawl/crawl_test_support.h"
#include "tests/support/http_peer.h"
#include "tests/support/nginx_peer.h"

namespace {

using namespace crawltest;
using namespace testsupport;

std::string Page(const std::string& body) { return "<html><head><title>T</title></head><body>" + body + "</body></html>"; }

std::vector<std::string> Targets(const HttpPeer& peer)
{
    std::vector<std::string> targets;
    for (const auto& request : peer.Requests())
        if (request.method == "GET") targets.push_back(request.target);
    return targets;
}

// The items below the test's folder, the mirror and the peers' own
// folders left out.
std::set<std::string> OutsideTheMirror(const std::string& root)
{
    std::set<std::string> items;
    for (const std::string& item : ListTree(root))
        if (!item.starts_with("mirror/") && !item.starts_with("tmp/tidewell-")) items.insert(item);
    return items;
}

class CrawlSafety : public CrawlEnvironment {
protected:
    void SetUp() override
    {
        CrawlEnvironment::SetUp();
        SetPreference("Grab Offsite URLs", "false");
    }
};

TEST_F(CrawlSafety, HostileLinksStayInsideTheMirrorAndOtherSchemesAreNotFetched)
{
    HttpPeer peer({
        {.path = "/a/b/start.html",
         .body = Page("<a href=\"x/../../../../up.html\">1</a> <a href=\"%2e%2e/%2E%2E/dots.html\">2</a>"
                      " <a href=\"sl%2Fash.html\">3</a> <a href=\"file:///etc/passwd\">4</a>"
                      " <a href=\"data:text/html,<b>x</b>\">5</a> <a href=\"tel:+123\">6</a>"
                      " <a href=\"javascript:alert(1)\">7</a> <a href=\"/out?u=http://evil.example/z\">8</a>"
                      " <a href=\"?page=2\">9</a> <a href=\"..%2F..%2Fesc.html\">10</a>")},
        {.path = "/up.html", .body = Page("up")},
        {.path = "/a/dots.html", .body = Page("dots")},
        {.path = "/dots.html", .body = Page("root dots")},
        {.path = "/a/b/sl%2Fash.html", .body = Page("slash")},
        {.path = "/a/b/sl/ash.html", .body = Page("slash")},
        {.path = "/out", .body = Page("out")},
        {.path = "/a/b/..%2F..%2Fesc.html", .body = Page("esc")},
        {.path = "/a/b/../../esc.html", .body = Page("esc")},
    });
    CConfiguration configuration = MakeConfiguration();
    const std::set<std::string> before = OutsideTheMirror(Root());
    RecordingGrabber window(configuration);
    ASSERT_TRUE(RunGrab(window, configuration, peer.Url("/a/b/start.html")));
    EXPECT_EQ(OutsideTheMirror(Root()), before) << "nothing is written outside the mirror";

    // Dot-segments are gone before a request is made; the query keeps its page.
    std::vector<std::string> targets = Targets(peer);
    std::sort(targets.begin(), targets.end());
    const std::vector<std::string> expected = {"/a/b/start.html", "/a/b/start.html?page=2", "/dots.html",
                                               "/out?u=http://evil.example/z", "/up.html"};
    std::vector<std::string> others;
    for (const std::string& target : targets)
        if (std::find(expected.begin(), expected.end(), target) == expected.end()) others.push_back(target);
    for (const std::string& target : expected) EXPECT_NE(std::find(targets.begin(), targets.end(), target), targets.end()) << target;
    // The escaped slashes are one name each, whatever the server made of them.
    for (const std::string& target : others) EXPECT_NE(target.find("%2F"), std::string::npos) << target;

    const std::string host = "127.0.0.1/" + std::to_string(peer.Port()) + "/";
    const auto tree = ReadTree(Mirror());
    EXPECT_TRUE(tree.contains(host + "up.html"));
    EXPECT_TRUE(tree.contains(host + "dots.html"));
    for (const auto& [path, bytes] : tree) {
        EXPECT_EQ(path.find(".."), path.find("..%2F")) << path;  // no ".." level anywhere
        EXPECT_FALSE(path.starts_with("etc")) << path;
    }
    const std::string& start = tree.at(host + "a/b/start.html");
    for (const char* kept : {"file:///etc/passwd", "data:text/html,<b>x</b>", "tel:+123", "javascript:alert(1)"})
        EXPECT_NE(start.find(std::string("\"") + kept + "\""), std::string::npos) << kept;
    EXPECT_NE(start.find("<a href=\"../../up.html\">1</a>"), std::string::npos) << start;
    EXPECT_TRUE(AllLinksLocal(CheckMirrorLinks(Mirror())));
}

TEST_F(CrawlSafety, TheCrawlAsksOnlyForWhatThePagesLinkOrLoad)
{
    HttpPeer peer({
        {.path = "/",
         .body = Page("<p>Try (logout.php) or (notes.txt), see \"guide.pdf\".</p>"
                      "<!-- <a href=\"old.html\">old</a> <img src=\"old.gif\"> -->"
                      "<form method=\"post\" action=\"send.html\"><input name=q></form>"
                      "<script>load(\"searchindex.js\"); go(\"admin/reset-all.cgi\")</script>"
                      "<a href=\"real.html\">real</a>")},
        {.path = "/real.html", .body = Page("real")},
        {.path = "/searchindex.js", .headers = {{"Content-Type", "application/javascript"}}, .body = "var index = {};"},
        {.path = "/logout.php", .body = Page("logged out")},
        {.path = "/notes.txt", .headers = {{"Content-Type", "text/plain"}}, .body = "notes"},
        {.path = "/guide.pdf", .headers = {{"Content-Type", "application/pdf"}}, .body = "%PDF"},
        {.path = "/old.html", .body = Page("old")},
        {.path = "/old.gif", .headers = {{"Content-Type", "image/gif"}}, .body = "GIF89a"},
        {.path = "/send.html", .body = Page("sent")},
        {.path = "/admin/reset-all.cgi", .body = Page("reset")},
    });
    CConfiguration configuration = MakeConfiguration();
    RecordingGrabber window(configuration);
    ASSERT_TRUE(RunGrab(window, configuration, peer.Url("/")));
    std::vector<std::string> targets = Targets(peer);
    std::sort(targets.begin(), targets.end());
    EXPECT_EQ(targets, (std::vector<std::string>{"/", "/real.html", "/searchindex.js"}));
}

TEST_F(CrawlSafety, OtherHostsOfTheSiteAreLinkedOnlyWhenTheirFilesWereSaved)
{
    // One server answers for every name; *.localhost names are loopback.
    const std::string site = mRoot.MakeFolder("site");
    mRoot.Write("site/pic.png", "png");
    NginxPeer server(site, 60);
    const std::string port = std::to_string(server.Port());
    mRoot.Write("site/index.html",
                Page("<img src=\"http://img.tide.localhost:" + port + "/pic.png\">"
                     " <img src=\"http://img.tide.localhost:" + port + "/gone.png\">"
                     " <a href=\"http://tide.localhost.evil.localhost:" + port + "/pic.png\">evil</a>"
                     " <a href=\"//img.tide.localhost:" + port + "/pic.png#top\">again</a>"));
    CConfiguration configuration = MakeConfiguration();
    RecordingGrabber window(configuration);
    ASSERT_TRUE(RunGrab(window, configuration, "http://www.tide.localhost:" + port + "/"));

    const auto tree = ReadTree(Mirror());
    EXPECT_EQ(tree.at("img.tide.localhost/" + port + "/pic.png"), "png");
    EXPECT_FALSE(tree.contains("tide.localhost.evil.localhost/" + port + "/pic.png"));
    const std::string& start = tree.at("www.tide.localhost/" + port + "/Index.html");
    EXPECT_NE(start.find("<img src=\"../../img.tide.localhost/" + port + "/pic.png\">"), std::string::npos) << start;
    EXPECT_NE(start.find("<a href=\"../../img.tide.localhost/" + port + "/pic.png#top\">again</a>"), std::string::npos)
        << start;
    // Not saved: the server's address stays.
    EXPECT_NE(start.find("\"http://img.tide.localhost:" + port + "/gone.png\""), std::string::npos) << start;
    EXPECT_NE(start.find("\"http://tide.localhost.evil.localhost:" + port + "/pic.png\""), std::string::npos) << start;
    EXPECT_TRUE(CheckMirrorLinks(Mirror()).broken.empty());
}

TEST_F(CrawlSafety, TheDateCheckAsksOnceAndKeepsUpToDateFilesInEveryTimeZone)
{
    const std::string site = mRoot.MakeFolder("site");
    mRoot.Write("site/index.html", Page("<img src=\"logo.png\"> <a href=\"page.html\">p</a>"));
    mRoot.Write("site/page.html", Page("page"));
    NginxPeer server(site, 60);
    const char* savedZone = std::getenv("TZ");
    const std::string saved = savedZone ? savedZone : "";

    const std::time_t base = std::time(nullptr) - 100000;
    auto serveLogo = [&](const std::string& bytes, std::time_t modified) {
        mRoot.Write("site/logo.png", bytes);
        utimbuf times{modified, modified};
        ::utime(mRoot.File("site/logo.png").c_str(), &times);
    };
    int round = 0;
    for (const char* zone : {"UTC0", "EST5EDT,M3.2.0,M11.1.0", "JST-9"}) {
        ::setenv("TZ", zone, 1);
        ::tzset();
        SCOPED_TRACE(zone);
        serveLogo("first logo", base + 1000 * round);
        const std::string mirror = mRoot.MakeFolder("mirror-" + std::to_string(++round));
        const std::string logo = mirror + "/127.0.0.1/" + std::to_string(server.Port()) + "/logo.png";
        auto crawl = [&](bool checkDates) {
            CConfiguration configuration = MakeConfiguration();
            configuration.mGeneralOptions.localPath = mirror.c_str();
            configuration.mMiscOptions.logFolder = mirror.c_str();
            configuration.mGeneralOptions.checkFileModificationDates = checkDates ? 1 : 0;
            RecordingGrabber window(configuration);
            ASSERT_TRUE(RunGrab(window, configuration, server.Url("/")));
        };
        // Requests of `path` in nginx's log, by method and (when given) status.
        auto answered = [&](const char* method, const char* path, const char* status = "") {
            const std::string log = server.AccessLog();
            const std::string request = std::string("\"") + method + " " + path + " HTTP/1.1\" " + status;
            int count = 0;
            for (std::size_t at = 0; (at = log.find(request, at)) != std::string::npos; ++at) ++count;
            return count;
        };
        auto gets = [&](const char* path) { return answered("GET", path); };
        SetPreference("Load URLs from disk", "false");
        const int before = gets("/logo.png");
        crawl(false);
        EXPECT_EQ(gets("/logo.png"), before + 1);
        EXPECT_EQ(FileText(logo), "first logo");

        // Up to date: one conditional GET answered 304, no HEAD; pages are
        // always fetched, for their links.
        const int pages = gets("/page.html");
        const int unchanged = answered("GET", "/logo.png", "304");
        crawl(true);
        EXPECT_EQ(gets("/logo.png"), before + 2);
        EXPECT_EQ(answered("GET", "/logo.png", "304"), unchanged + 1);
        EXPECT_EQ(gets("/page.html"), pages + 1);
        EXPECT_EQ(answered("HEAD", "/logo.png"), 0);
        EXPECT_EQ(FileText(logo), "first logo");

        // Changed on the server: fetched once and replaced.
        serveLogo("second logo " + std::to_string(round), base + 1000 * round + 500);
        crawl(true);
        EXPECT_EQ(gets("/logo.png"), before + 3);
        EXPECT_EQ(answered("GET", "/logo.png", "304"), unchanged + 1);
        EXPECT_EQ(FileText(logo), "second logo " + std::to_string(round));
    }
    if (savedZone) ::setenv("TZ", saved.c_str(), 1);
    else ::unsetenv("TZ");
    ::tzset();
}

}  // namespace
