// Crawls of a documentation-like site served by nginx, checked against
// nginx's own access log: which URLs are asked for, and how often; what is
// counted; which bytes are saved as they came and which links are made
// local; and a second crawl into the same mirror reading its saved copies.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <regex>

#include "foundation/text/text_encodings.h"
#include "platform/xattr/item_attributes.h"
#include "tests/crawl/crawl_test_support.h"
#include "tests/support/nginx_peer.h"

namespace {

using namespace crawltest;
using namespace testsupport;

constexpr char kScript[] = "if (event.key === \"Escape\") { location.href = \"p.html\"; } // str(self.msg)\n";
constexpr char kNotes[] = "See str(self.msg), event.key and p.html; or http://127.0.0.1/p.html.\n";
constexpr char kTool[] = "print(str(self.msg))  # p.html\n";

// The access log's requests as "METHOD path status", one per line.
std::vector<std::string> Requests(const NginxPeer& server)
{
    static const std::regex line("\"([A-Z]+) (\\S+) HTTP/[0-9.]+\" ([0-9]+)");
    std::vector<std::string> requests;
    const std::string log = server.AccessLog();
    for (std::sregex_iterator at(log.begin(), log.end(), line), end; at != end; ++at)
        requests.push_back((*at)[1].str() + " " + (*at)[2].str() + " " + (*at)[3].str());
    return requests;
}

int Count(const std::vector<std::string>& requests, const std::string& request)
{
    return static_cast<int>(std::count(requests.begin(), requests.end(), request));
}

class CrawlLinks : public CrawlEnvironment {
protected:
    void SetUp() override
    {
        CrawlEnvironment::SetUp();
        mRoot.MakeFolder("cdn");
        mRoot.Write("cdn/lib.html", "<html><body>lib</body></html>\n");
        mCdn = std::make_unique<NginxPeer>(mRoot.File("cdn"), 60);
        const std::string site = mRoot.MakeFolder("site");
        mServer = std::make_unique<NginxPeer>(site, 60);
        const std::string self = "127.0.0.1:" + std::to_string(mServer->Port());
        mRoot.Write("site/index.html",
                    "<html><head><title>Docs</title><link rel=\"stylesheet\" href=\"_static/theme.css\">\n"
                    "<script src=\"_static/_sphinx_javascript_frameworks_compat.js\"></script>\n"
                    "<script>if (event.key === 'x') show('str(self.msg)');</script></head>\n"
                    "<body><div style=\"background: url(img/bg.png)\">\n"
                    "<a href=\"HTTP://" + self + "/p.html\">upper</a> <a href=\"http://" + self + "/p.html\">p</a>\n"
                    "<a href=\"http://127.0.0.1:" + std::to_string(mCdn->Port()) + "/lib.html\">cdn</a>\n"
                    "<pre>print(str(self.msg)) # see (shown.png)</pre><script>show(\"missing.png\")</script>\n"
                    "<img src=\"50%.png\"> <a href=\"notes.txt\">notes</a> <a href=\"tool.py\">tool</a>\n"
                    "</div></body></html>\n");
        mRoot.Write("site/p.html", "<html><body><a href=\"index.html\">home</a>\n"
                                   "<a href=\"README\">readme</a> <a href=\"guide\">guide</a>\n"
                                   "<p>(trailing \"/p.html\") &lt;img src=\"/p.html\"&gt; URL.createObjectURL(id)</p>"
                                   "</body></html>\n");
        mRoot.Write("site/README", "read me");
        mRoot.Write("site/guide/index.html", "<html><body><a href=\"../p.html\">back</a></body></html>\n");
        mRoot.Write("site/_static/theme.css", "@font-face{src:url(\"fonts/font.woff?v=1\") format(\"woff\")}\n"
                                              ".x{background:url( ../img/tile.png )}\n");
        mRoot.Write("site/_static/fonts/font.woff", "wOFF-bytes");
        mRoot.Write("site/_static/_sphinx_javascript_frameworks_compat.js", kScript);
        mRoot.Write("site/img/bg.png", "png-bg");
        mRoot.Write("site/img/tile.png", "png-tile");
        mRoot.Write("site/50%.png", "png-50");
        mRoot.Write("site/notes.txt", kNotes);
        mRoot.Write("site/tool.py", kTool);
        mSite = "127.0.0.1/" + std::to_string(mServer->Port()) + "/";
    }

    std::unique_ptr<NginxPeer> mCdn;
    std::unique_ptr<NginxPeer> mServer;
    std::string mSite;
};

// A fresh profile (no preferences) with the built-in configuration.
TEST_F(CrawlLinks, ASiteIsMirroredWithOneRequestPerFileAndOnlyItsPagesRewritten)
{
    CConfiguration configuration = MakeConfiguration();
    configuration.mMiscOptions.errorLinks = 1;
    RecordingGrabber window(configuration);
    ASSERT_TRUE(RunGrab(window, configuration, mServer->Url("/index.html")));
    const auto requests = Requests(*mServer);

    // Each file once, however its URL is spelled; the file whose name says
    // "javascript" too; the style sheet's url() references, query and all;
    // a raw '%' escaped.
    for (const char* request : {"GET /p.html 200", "GET /_static/_sphinx_javascript_frameworks_compat.js 200",
                                "GET /_static/fonts/font.woff?v=1 200", "GET /img/tile.png 200",
                                "GET /img/bg.png 200", "GET /50%25.png 200", "GET /notes.txt 200"})
        EXPECT_EQ(Count(requests, request), 1) << request << "\n" << ::testing::PrintToString(requests);
    // Words with a dot are no requests, and off-site URLs are not grabbed
    // unless the configuration says so.
    for (const std::string& request : requests)
        EXPECT_EQ(request.find("msg"), std::string::npos) << request;
    EXPECT_EQ(Requests(*mCdn), std::vector<std::string>{});

    // The script's guess "missing.png" was asked for once; the server does
    // not have it, and that is no error of the crawl. A name in the page's
    // text is nobody's link.
    EXPECT_EQ(Count(requests, "GET /missing.png 404"), 1);
    for (const std::string& request : requests) EXPECT_EQ(request.find("shown.png"), std::string::npos) << request;
    EXPECT_EQ(std::to_string(window.progress.errors), "0");
    EXPECT_FALSE(std::filesystem::exists(Mirror() + "/127.0.0.1-" + std::to_string(mServer->Port()) + ".errors.txt"));
    int fetched = 0;
    for (const std::string& request : requests) fetched += request.starts_with("GET ") && request.ends_with(" 200");
    EXPECT_EQ(std::to_string(window.progress.requests), std::to_string(fetched));

    // Scripts, text and data are saved as they came.
    const auto tree = ReadTree(Mirror());
    EXPECT_EQ(tree.at(mSite + "_static/_sphinx_javascript_frameworks_compat.js"), kScript);
    EXPECT_EQ(tree.at(mSite + "notes.txt"), kNotes);
    EXPECT_EQ(tree.at(mSite + "tool.py"), kTool);
    // The page: links made local, text and inline script as written.
    const std::string& page = tree.at(mSite + "index.html");
    for (const char* kept : {"<a href=\"p.html\">upper</a> <a href=\"p.html\">p</a>",
                             "<script>if (event.key === 'x') show('str(self.msg)');</script>",
                             "<pre>print(str(self.msg)) # see (shown.png)</pre><script>show(\"missing.png\")</script>",
                             "url(img/bg.png)",
                             "<img src=\"50%25.png\">"})
        EXPECT_NE(page.find(kept), std::string::npos) << kept << "\n" << page;
    // The style sheet's references open saved files.
    const std::string& css = tree.at(mSite + "_static/theme.css");
    static const std::regex reference("url\\(\\s*\"?([^\")\\s]+)");
    int references = 0;
    for (std::sregex_iterator at(css.begin(), css.end(), reference), end; at != end; ++at, ++references)
        EXPECT_TRUE(tree.contains(mSite + "_static/" + (*at)[1].str()) ||
                    tree.contains(mSite + (*at)[1].str().substr(3)))
            << css;
    EXPECT_EQ(references, 2) << css;
}

// Links written with blanks or line breaks around '=', and pictures named
// only in a srcset, are fetched, saved and linked to their saved files like
// any other link, though their files are saved after the page.
TEST_F(CrawlLinks, EveryShapeOfAttributeLinkOpensItsSavedFile)
{
    const struct {
        const char* markup;  // as written in the page, and as saved: the links are relative already
        const char* file;    // the file it names, from the mirror's site folder
    } cases[] = {
        {"<a href = \"spaced.html\">s</a>", "shapes/spaced.html"},
        {"<a href=\n\"wrapped.html\">w</a>", "shapes/wrapped.html"},
        {"<a\nhref\n=\n'../p.html'>p</a>", "p.html"},
        {"<img src = pics/small.png alt=s>", "shapes/pics/small.png"},
        {"<img src=\"pics/one.png\" srcset=\"pics/one.png 1x, pics/big.png 2x\">", "shapes/pics/big.png"},
        {"<picture><source srcset='pics/wide.png 1200w,pics/narrow.png 600w'></picture>", "shapes/pics/narrow.png"},
    };
    std::string page = "<html><head><title>Shapes</title></head><body>\n";
    for (const auto& c : cases) page += std::string(c.markup) + "\n";
    page += "</body></html>\n";
    mRoot.Write("site/shapes/index.html", page);
    mRoot.Write("site/shapes/spaced.html", "<html><body><a href = \"index.html\">back</a></body></html>\n");
    mRoot.Write("site/shapes/wrapped.html", "<html><body>wrapped</body></html>\n");
    for (const char* picture : {"small", "one", "big", "wide", "narrow"})
        mRoot.Write(std::string("site/shapes/pics/") + picture + ".png", std::string("png-") + picture);

    CConfiguration configuration = MakeConfiguration();
    RecordingGrabber window(configuration);
    ASSERT_TRUE(RunGrab(window, configuration, mServer->Url("/shapes/index.html")));
    const auto tree = ReadTree(Mirror());
    ASSERT_TRUE(tree.contains(mSite + "shapes/index.html")) << window.LogTranscript();
    const std::string& saved = tree.at(mSite + "shapes/index.html");
    for (const auto& c : cases) {
        EXPECT_TRUE(tree.contains(mSite + c.file)) << c.file;
        EXPECT_NE(saved.find(c.markup), std::string::npos) << c.markup << "\n" << saved;
    }
    EXPECT_TRUE(tree.contains(mSite + "shapes/pics/wide.png"));
    EXPECT_NE(tree.at(mSite + "shapes/spaced.html").find("<a href = \"index.html\">back</a>"), std::string::npos);
}

// A secondary host's files are linked from the pages as files of the
// mirror; a second crawl that reads those pages back asks for the URLs the
// links stand for, never for their mirror paths on the start host.
TEST_F(CrawlLinks, SavedCopiesGiveBackTheURLsOfTheirLocalLinks)
{
    const std::string cdn = "127.0.0.1:" + std::to_string(mCdn->Port());
    CConfiguration configuration = MakeConfiguration();
    configuration.mGeneralOptions.grabOffsiteURLs = 1;
    configuration.mGeneralOptions.offsiteHosts = {CFixedString255(cdn.c_str())};
    configuration.mMiscOptions.errorLinks = 1;
    {
        RecordingGrabber window(configuration);
        ASSERT_TRUE(RunGrab(window, configuration, mServer->Url("/index.html")));
    }
    EXPECT_EQ(Count(Requests(*mCdn), "GET /lib.html 200"), 1);
    const std::string page = FileText(Mirror() + "/" + mSite + "index.html");
    EXPECT_NE(page.find("<a href=\"../" + std::to_string(mCdn->Port()) + "/lib.html\">cdn</a>"), std::string::npos)
        << page;

    // The second crawl into the same mirror asks for its pages again (a
    // saved page's links were made for the mirror, so only the server's copy
    // can be followed and corrected) and reads other files back. A file
    // that lost its URL label is still found by its host's folder; the
    // style sheet's link to the font saved under a generated name gives back
    // the font's own URL (asked for again: a new crawl names it anew).
    const std::string lib = Mirror() + "/127.0.0.1/" + std::to_string(mCdn->Port()) + "/lib.html";
    ASSERT_EQ(RemoveItemAttribute(lib.c_str(), kCommentAttribute), 0);
    const std::size_t before = Requests(*mServer).size();
    RecordingGrabber again(configuration);
    ASSERT_TRUE(RunGrab(again, configuration, mServer->Url("/index.html")));
    const auto requests = Requests(*mServer);
    for (std::size_t i = before; i < requests.size(); ++i)
        EXPECT_EQ(requests[i].find(" /" + std::to_string(mCdn->Port()) + "/"), std::string::npos) << requests[i];
    EXPECT_EQ(Count(requests, "GET /_static/fonts/font.woff?v=1 200"), 2);
    EXPECT_EQ(std::to_string(again.progress.errors), "0");
    EXPECT_EQ(Count(Requests(*mCdn), "GET /lib.html 200"), 2) << "a saved page is asked for again";
}

// Links without an extension (a file, a folder written without its '/')
// are fetched once with no HEAD beforehand: the GET's answer places them;
// what the page shows as text stays as written, and is no style.
TEST_F(CrawlLinks, ExtensionlessLinksAreFetchedWithoutAskingFirst)
{
    CConfiguration configuration = MakeConfiguration();
    RecordingGrabber window(configuration);
    ASSERT_TRUE(RunGrab(window, configuration, mServer->Url("/index.html")));
    const auto requests = Requests(*mServer);
    for (const std::string& request : requests)  // the start page's set-up check aside
        EXPECT_TRUE(!request.starts_with("HEAD ") || request.starts_with("HEAD /index.html ")) << request;
    for (const char* request : {"GET /README 200", "GET /guide 301", "GET /guide/ 200", "GET /p.html 200"})
        EXPECT_EQ(Count(requests, request), 1) << request << "\n" << ::testing::PrintToString(requests);

    const auto tree = ReadTree(Mirror());
    EXPECT_EQ(tree.at(mSite + "README"), "read me");
    const std::string& page = tree.at(mSite + "p.html");
    static const std::regex anchor("<a href=\"([^\"]+)\">(readme|guide)</a>");
    int anchors = 0;
    for (std::sregex_iterator at(page.begin(), page.end(), anchor), end; at != end; ++at, ++anchors)
        EXPECT_TRUE(tree.contains(mSite + (*at)[1].str())) << (*at)[0] << " opens no saved file";
    EXPECT_EQ(anchors, 2) << page;
    EXPECT_NE(page.find("<p>(trailing \"/p.html\") &lt;img src=\"/p.html\"&gt; URL.createObjectURL(id)</p>"),
              std::string::npos)
        << page;
    EXPECT_EQ(Count(requests, "GET /id 404"), 0) << "prose is no style";
}

TEST_F(CrawlLinks, TheGrabOffsitePreferenceStillVetoesTheConfiguration)
{
    SetPreference("Grab Offsite URLs", "false");
    CConfiguration configuration = MakeConfiguration();
    configuration.mGeneralOptions.grabOffsiteURLs = 1;
    RecordingGrabber window(configuration);
    ASSERT_TRUE(RunGrab(window, configuration, mServer->Url("/index.html")));
    EXPECT_EQ(Requests(*mCdn), std::vector<std::string>{});
    EXPECT_EQ(Count(Requests(*mServer), "GET /p.html 200"), 1);
}

// However a site spells a URL, and whenever the crawl meets it again, the
// server is asked for it once: a guess the server lacks that a page of the
// next level names too, escapes written otherwise, the folders of an
// autoindex listing and a redirect's target that pages also link.
class CrawlRequests : public CrawlEnvironment {};

TEST_F(CrawlRequests, EachURLIsAskedForOnce)
{
    const struct {
        const char* name;
        std::vector<std::pair<std::string, std::string>> files;  // path below the site -> bytes
        std::string serverDirectives;
        std::vector<std::string> askedOnce;  // "METHOD path status" as nginx logs it
    } cases[] = {
        {"a missing guess named again a level later",
         {{"index.html", "<a href=\"a.html\">a</a><script>show(\"gone.png\")</script>"},
          {"a.html", "<script>show(\"gone.png\")</script><a href=\"b.html\">b</a>"},
          {"b.html", "b"}},
         "",
         {"GET /gone.png 404", "GET /a.html 200", "GET /b.html 200"}},
        {"escapes spelled otherwise",
         {{"index.html", "<a href=\"%7Eann.html\">1</a> <a href=\"%7eann.html\">2</a> <a href=\"~ann.html\">3</a>"
                         "<a href=\"c%20d.html\">4</a> <a href=\"c d.html\">5</a> <a href=\"c%2bd.html\">6</a>"
                         "<a href=\"c%2Bd.html\">7</a>"},
          {"~ann.html", "ann"},
          {"c d.html", "cd"},
          {"c+d.html", "c+d"}},
         "",
         {"GET /%7Eann.html 200", "GET /c%20d.html 200", "GET /c%2bd.html 200"}},
        {"the folders and names of a listing",
         {{"sub/x.html", "<a href=\"../page.html\">page</a> <a href=\"./\">here</a>"},
          {"sub/y y.html", "y"},
          {"\xC3\xA9.html", "e"},
          {"page.html", "<a href=\"sub\">1</a> <a href=\"sub/\">2</a> <a href=\"./sub/x.html\">3</a>"
                        "<a href=\"sub/y%20y.html\">4</a> <a href=\"sub/y y.html\">5</a> <a href=\"/\">6</a>"
                        "<a href=\"\xC3\xA9.html\">7</a>"}},
         "autoindex on;",
         {"GET /sub/ 200", "GET /sub/x.html 200", "GET /sub/y%20y.html 200", "GET /page.html 200",
          "GET /%C3%A9.html 200"}},
        {"a redirect's target linked before it",
         {{"index.html", "<a href=\"new.html\">new</a> <a href=\"old.html\">old</a>"}, {"new.html", "new"}},
         "location = /old.html { return 301 /new.html; }",
         {"GET /new.html 200", "GET /old.html 301"}},
        {"a redirect's target linked after it",
         {{"index.html", "<a href=\"old.html\">old</a> <a href=\"new.html\">new</a>"}, {"new.html", "new"}},
         "location = /old.html { return 301 /new.html; }",
         {"GET /new.html 200", "GET /old.html 301"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const testsupport::TempDir site;
        for (const auto& [path, bytes] : c.files) site.Write(path, bytes);
        NginxPeer server(site.Path(), 60, c.serverDirectives);
        CConfiguration configuration = MakeConfiguration();
        RecordingGrabber window(configuration);
        ASSERT_TRUE(RunGrab(window, configuration, server.Url("/")));

        const auto requests = Requests(server);
        std::map<std::string, int> asked;  // "METHOD decoded-path" -> times
        for (const std::string& request : requests) {
            const std::size_t blank = request.find(' ');
            const std::string target = request.substr(blank + 1, request.rfind(' ') - blank - 1);
            ++asked[request.substr(0, blank) + " " + URLDecode(target)];
        }
        for (const auto& [request, times] : asked)
            EXPECT_EQ(times, 1) << request << "\n" << ::testing::PrintToString(requests);
        for (const std::string& request : c.askedOnce)
            EXPECT_EQ(Count(requests, request), 1) << request << "\n" << ::testing::PrintToString(requests);
    }
}

}  // namespace
