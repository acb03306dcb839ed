// Names in the mirror against the scripted HTTP peer: URLs whose names meet
// (a folder's index name and a real "Index.html", names past the file
// system's 255 bytes, names a file system folds together) keep distinct
// files and links follow them; generated names carry their type's
// extension; control characters stay escaped. And the mirror writer's own
// rule that no two URLs share a file, across crawls too.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <regex>
#include <set>

#include <sys/stat.h>
#include <unistd.h>

#include "engine/crawl/mirror_writer.h"
#include "foundation/errors/status_codes.h"
#include "tests/crawl/crawl_test_support.h"
#include "tests/support/http_peer.h"

namespace {

using namespace crawltest;
using namespace testsupport;

class CrawlNames : public CrawlEnvironment {
protected:
    void SetUp() override
    {
        CrawlEnvironment::SetUp();
        SetPreference("Grab Offsite URLs", "false");
    }
    std::string Host(const HttpPeer& peer) const { return "127.0.0.1/" + std::to_string(peer.Port()) + "/"; }
};

TEST_F(CrawlNames, CollidingNamesKeepDistinctFilesAndLinksFollowThem)
{
    const std::string longStem(300, 'x');
    const std::string css = "body { color: teal }\n";
    HttpPeer peer({
        {.path = "/", .body = Page("Start", "<a href=\"Index.html\">index</a> <a href=\"" + longStem + "1.html\">l1</a> "
                                            "<a href=\"" + longStem + "2.html\">l2</a> <a href=\"a%0Ab.html\">lf</a> "
                                            "<link rel=stylesheet href=\"style.css?v=1\"> "
                                            "<link rel=stylesheet href=\"theme.php?v=2\">")},
        {.path = "/Index.html", .body = Page("General index", "<a href=\"/\">home</a>")},
        {.path = "/" + longStem + "1.html", .body = Page("Long one", "one")},
        {.path = "/" + longStem + "2.html", .body = Page("Long two", "two")},
        {.path = "/a%0Ab.html", .body = Page("Line feed", "lf")},
        {.path = "/style.css", .headers = {{"Content-Type", "text/css"}}, .body = css},
        {.path = "/theme.php", .headers = {{"Content-Type", "text/css; charset=utf-8"}}, .body = css},
    });
    const std::string host = Host(peer);
    // The second crawl fetches again, into the files the first one left.
    SetPreference("Load URLs from disk", "false");
    ReloadSettings();
    for (int crawl = 1; crawl <= 2; ++crawl) {
        SCOPED_TRACE("crawl " + std::to_string(crawl));
        CConfiguration configuration = MakeConfiguration();
        configuration.mGeneralOptions.checkFileModificationDates = crawl == 2;  // replace what is there
        RecordingGrabber window(configuration);
        ASSERT_TRUE(RunGrab(window, configuration, peer.Url("/")));
        const auto tree = ReadTree(Mirror());

        // The real Index.html keeps its name and content; the folder page
        // lies beside it and each links to the other's file.
        ASSERT_TRUE(tree.contains(host + "Index.html"));
        EXPECT_NE(tree.at(host + "Index.html").find("<title>General index</title>"), std::string::npos);
        const std::string start = window.firstFile.substr(window.firstFile.rfind('/') + 1);
        ASSERT_TRUE(std::regex_match(start, std::regex("Index~[0-9a-f]{12}\\.html"))) << window.firstFile << "\n" << window.LogTranscript();
        EXPECT_NE(tree.at(host + start).find("<a href=\"Index.html\">index</a>"), std::string::npos);
        EXPECT_NE(tree.at(host + "Index.html").find("<a href=\"" + start + "\">home</a>"), std::string::npos)
            << tree.at(host + "Index.html");

        // Long names sharing their first 255 bytes, a line feed, style sheets.
        std::set<std::string> longBodies;
        int styleSheets = 0;
        for (const auto& [path, bytes] : tree) {
            if (!path.starts_with(host)) continue;
            const std::string name = path.substr(host.size());
            EXPECT_LE(name.size(), 255u) << name;
            if (name.starts_with(std::string(200, 'x'))) longBodies.insert(bytes);
            if (std::regex_match(name, std::regex("[0-9A-F-]{36}\\.css"))) {
                EXPECT_EQ(bytes, css);
                ++styleSheets;
            }
        }
        EXPECT_EQ(longBodies, (std::set<std::string>{Page("Long one", "one"), Page("Long two", "two")}));
        // By its own extension, and by its Content-Type; each crawl names
        // its dynamic URLs afresh.
        EXPECT_EQ(styleSheets, 2 * crawl);
        EXPECT_EQ(tree.at(host + "a%0Ab.html"), Page("Line feed", "lf"));

        EXPECT_TRUE(AllLinksLocal(CheckMirrorLinks(Mirror())));
        EXPECT_NE(window.LogTranscript().find("Total files grabbed: 7\r"), std::string::npos) << window.LogTranscript();
    }
}

// A folder's page that is its index.html is saved once, for both URLs; a
// folder page of its own (a listing) and a real "Index.html" keep their
// files. Links of both spellings open the one file.
TEST_F(CrawlNames, AFolderAndItsIndexPageShareOneFile)
{
    const std::string same = Page("Docs", "<a href=\"Index.html\">general index</a>");
    const std::string listing = Page("Listing", "<a href=\"index.html\">index</a>");
    HttpPeer peer({
        {.path = "/", .body = Page("Start", "<a href=\"docs/\">d</a> <a href=\"docs/index.html\">di</a> "
                                            "<a href=\"list/\">l</a> <a href=\"list/index.html\">li</a>")},
        {.path = "/docs/", .body = same},
        {.path = "/docs/index.html", .body = same},
        {.path = "/docs/Index.html", .body = Page("General index", "<a href=\"index.html\">docs</a>")},
        {.path = "/list/", .body = listing},
        {.path = "/list/index.html", .body = Page("List index", "x")},
    });
    CConfiguration configuration = MakeConfiguration();
    RecordingGrabber window(configuration);
    ASSERT_TRUE(RunGrab(window, configuration, peer.Url("/")));
    const std::string host = Host(peer);
    const auto tree = ReadTree(Mirror());
    const struct {
        const char* folder;
        std::multiset<std::string> titles;  // of the folder's saved pages
    } cases[] = {
        {"docs/", {"Docs", "General index"}},
        {"list/", {"Listing", "List index"}},
    };
    static const std::regex title("<title>([^<]*)</title>");
    for (const auto& c : cases) {
        std::multiset<std::string> titles;
        std::smatch found;
        for (const auto& [path, bytes] : tree)
            if (path.starts_with(host + c.folder) && path.rfind('/') == host.size() + std::strlen(c.folder) - 1 &&
                std::regex_search(bytes, found, title))
                titles.insert(found[1].str());
        EXPECT_EQ(titles, c.titles) << c.folder;
    }
    EXPECT_TRUE(AllLinksLocal(CheckMirrorLinks(Mirror())));
}

// Notes the file (inode) each saved page first had: a page corrected at the
// end of the crawl is replaced by a new file.
class FileIdentityWatcher : public RecordingGrabber {
public:
    FileIdentityWatcher(CConfiguration& configuration, std::string folder)
        : RecordingGrabber(configuration), mFolder(std::move(folder))
    {
    }
    void CrawlStatus(const std::string& text) override
    {
        RecordingGrabber::CrawlStatus(text);
        NoteInodes();
    }
    void TransferStatus(const std::string& text) override
    {
        RecordingGrabber::TransferStatus(text);
        NoteInodes();
    }
    void NoteInodes()
    {
        for (const auto& [path, inode] : Inodes()) firstInodes.emplace(path, inode);
    }
    std::map<std::string, ino_t> Inodes() const
    {
        std::map<std::string, ino_t> inodes;
        std::error_code error;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(mFolder, error)) {
            struct stat info;
            if (entry.path().extension() == ".html" && ::stat(entry.path().c_str(), &info) == 0)
                inodes[entry.path()] = info.st_ino;
        }
        return inodes;
    }
    std::map<std::string, ino_t> firstInodes;

private:
    std::string mFolder;
};

// A link to a folder's index.html found after the folder's page was placed
// expects that page's file at once: when the two turn out the same page, no
// saved page has to be corrected at the end of the crawl.
TEST_F(CrawlNames, ALateLinkToAFolderIndexNeedsNoCorrection)
{
    const std::string same = Page("Docs", "<a href=\"../more.html\">more</a>");
    HttpPeer peer({
        {.path = "/", .body = Page("Start", "<a href=\"docs/\">d</a> <a href=\"more.html\">m</a>")},
        {.path = "/more.html", .body = Page("More", "<a href=\"docs/index.html\">di</a>")},
        {.path = "/docs/", .body = same},
        {.path = "/docs/index.html", .body = same},
    });
    CConfiguration configuration = MakeConfiguration();
    FileIdentityWatcher window(configuration, Mirror());
    ASSERT_TRUE(RunGrab(window, configuration, peer.Url("/")));
    EXPECT_EQ(window.Inodes(), window.firstInodes);
    std::size_t docsFiles = 0;
    for (const auto& entry : ReadTree(Mirror())) docsFiles += entry.first.starts_with(Host(peer) + "docs/");
    EXPECT_EQ(docsFiles, 1u);
    EXPECT_TRUE(AllLinksLocal(CheckMirrorLinks(Mirror())));
}

// A page served as HTML under a name a browser would not open as a page is
// saved with the configured extension after its name, and the links of the
// pages saved before and after it open that file.
TEST_F(CrawlNames, PagesGetTheConfiguredExtensionWhenTheirNameLacksOne)
{
    const struct {
        const char* path;
        const char* contentType;
        const char* saved;  // the file in the mirror, as a link names it
    } cases[] = {
        {"page.asp", "text/html", "page.asp.html"},
        {"list.aspx", "text/html; charset=utf-8", "list.aspx.html"},
        {"script.cgi", "TEXT/HTML", "script.cgi.html"},
        {"doc.jsp", "text/html", "doc.jsp.html"},
        {"report.pl", "text/html", "report.pl.html"},
        {"index.html.en", "text/html", "index.html.en.html"},
        {"plain.htm", "text/html", "plain.htm"},
        {"UPPER.HTML", "text/html", "UPPER.HTML"},
        {"notes.pl", "text/plain", "notes.pl"},
    };
    std::string links;
    std::vector<HttpRoute> routes;
    for (const auto& c : cases) {
        links += std::string("<a href=\"") + c.path + "\">" + c.path + "</a> ";
        // Each links back to the first, saved before or after it.
        routes.push_back({.path = std::string("/") + c.path, .headers = {{"Content-Type", c.contentType}},
                          .body = Page(c.path, "<a href=\"page.asp\">first</a>")});
    }
    routes.push_back({.path = "/", .headers = {{"Content-Type", "text/html"}}, .body = Page("Start", links)});
    HttpPeer peer(routes);
    for (const bool always : {true, false}) {
        SCOPED_TRACE(always ? "always use extension" : "names as served");
        std::filesystem::remove_all(Mirror() + "/127.0.0.1");
        CConfiguration configuration = MakeConfiguration();
        configuration.mGeneralOptions.alwaysUseExtension = always;
        RecordingGrabber window(configuration);
        ASSERT_TRUE(RunGrab(window, configuration, peer.Url("/")));
        const auto tree = ReadTree(Mirror());
        ASSERT_TRUE(tree.contains(Host(peer) + "Index.html")) << window.LogTranscript();
        const std::string start = tree.at(Host(peer) + "Index.html");
        const std::string first = always ? "page.asp.html" : "page.asp";
        for (const auto& c : cases) {
            const std::string saved = always ? c.saved : c.path;
            ASSERT_TRUE(tree.contains(Host(peer) + saved)) << c.path;
            EXPECT_NE(start.find("<a href=\"" + saved + "\">"), std::string::npos) << c.path << "\n" << start;
            if (c.contentType != std::string("text/plain")) {
                EXPECT_NE(tree.at(Host(peer) + saved).find("<a href=\"" + first + "\">first</a>"), std::string::npos)
                    << c.path;
            }
        }
        EXPECT_TRUE(AllLinksLocal(CheckMirrorLinks(Mirror())));
    }
}

// A page the end of the crawl cannot correct (here the start page became a
// folder after it was saved) is logged, never passed over in silence.
TEST_F(CrawlNames, APageThatCannotBeCorrectedIsLogged)
{
    HttpPeer peer({
        {.path = "/", .body = Page("Start", "<a href=\"list/\">l</a> <a href=\"list/index.html\">li</a>")},
        {.path = "/list/", .body = Page("Listing", "listing")},
        {.path = "/list/index.html", .body = Page("List index", "index")},
    });
    CConfiguration configuration = MakeConfiguration();
    class StartPageSwapper : public RecordingGrabber {
    public:
        using RecordingGrabber::RecordingGrabber;
        void CrawlStatus(const std::string& text) override
        {
            RecordingGrabber::CrawlStatus(text);
            if (text != "Updating site map" || startPage.empty() || swapped) return;
            swapped = ::unlink(startPage.c_str()) == 0 && ::mkdir(startPage.c_str(), 0700) == 0;
        }
        std::string startPage;
        bool swapped = false;
    } window(configuration);
    window.startPage = Mirror() + "/" + Host(peer) + "Index.html";
    ASSERT_TRUE(RunGrab(window, configuration, peer.Url("/")));
    ASSERT_TRUE(window.swapped);
    EXPECT_TRUE(window.Logged("The links of a saved page could not be corrected: " + window.startPage + " (" +
                              std::strerror(EISDIR) + ")"))
        << window.LogTranscript();
}

// A flattened mirror puts every file in its host's folder: files of one
// name from different folders stay apart.
TEST_F(CrawlNames, AFlattenedMirrorKeepsSameNamedFilesApart)
{
    HttpPeer peer({
        {.path = "/", .body = Page("Start", "<a href=\"/a/x.html\">a</a> <a href=\"/b/x.html\">b</a>")},
        {.path = "/a/x.html", .body = Page("A", "a")},
        {.path = "/b/x.html", .body = Page("B", "b")},
    });
    CConfiguration configuration = MakeConfiguration();
    RecordingQuickGrabber window(configuration);
    window.options.flatten = true;
    ASSERT_TRUE(RunQuickGrab(window, configuration, peer.Url("/")));
    std::set<std::string> bodies;
    for (const auto& [path, bytes] : ReadTree(Mirror()))
        if (path.starts_with(Host(peer) + "x")) bodies.insert(bytes);
    EXPECT_EQ(bodies, (std::set<std::string>{Page("A", "a"), Page("B", "b")}));
    EXPECT_TRUE(AllLinksLocal(CheckMirrorLinks(Mirror())));
}

// One writer per crawl: a URL's name held by another URL's file (by name, by
// a second name of the same file, as a case-blind file system gives, by an
// earlier crawl's label, or by a folder) sends it to a distinct name that a
// look-up finds again; the same URL always gets its own file back.
TEST_F(CrawlNames, TheMirrorWriterNeverGivesTwoURLsOneFile)
{
    const std::string root = Mirror() + "/";
    mRoot.MakeFolder("mirror/h/folder.html");
    mRoot.Write("mirror/h/a.html", "earlier");
    {
        CMirrorWriter earlier(root);
        CFileRef file;
        ASSERT_EQ(earlier.Write({{"h"}}, "old.html", true, "old", {.url = "http://h/old-owner"}, file).Code(), 0);
    }
    struct Step {
        std::string url;
        std::string name;      // the name the URL asks for
        std::string expected;  // "~" for a distinct name
        std::string bytes;
    };
    const Step steps[] = {
        {"http://h/", "Index.html", "Index.html", "folder page"},
        {"http://h/Index.html", "Index.html", "~", "general index"},
        {"http://h/", "Index.html", "Index.html", "folder page again"},
        {"http://h/a.html", "a.html", "a.html", "a"},
        {"HTTP://H/a.html", "a.html", "a.html", "a, its URL written otherwise"},
        {"http://h/A.HTML", "A.HTML", "~", "folded"},
        {"http://h/old.html", "old.html", "~", "new owner"},
        {"http://h/folder.html", "folder.html", "~", "not a folder"},
    };
    CMirrorWriter writer(root);
    for (const Step& step : steps) {
        SCOPED_TRACE(step.url);
        // A case-blind file system shows a.html under this name too.
        if (step.url == "http://h/A.HTML") {
            ASSERT_EQ(::link((root + "h/a.html").c_str(), (root + "h/A.HTML").c_str()), 0);
        }
        CFileRef file;
        ASSERT_EQ(writer.Write({{"h"}}, step.name, true, step.bytes, {.url = step.url}, file).Code(), 0);
        const std::string name = file.Path().substr(file.Path().rfind('/') + 1);
        if (step.expected == "~") EXPECT_NE(name.find('~'), std::string::npos) << name;
        else EXPECT_EQ(name, step.expected);
        EXPECT_EQ(FileText(file.Path()), step.bytes);
        CFileRef found;
        CMirrorWriter lookup(root);  // a later crawl, from the files' labels alone
        ASSERT_TRUE(lookup.Find({{"h"}}, step.name, found, step.url));
        EXPECT_EQ(found.Path(), file.Path());
    }
    EXPECT_EQ(FileText(root + "h/Index.html"), "folder page again");
    EXPECT_EQ(FileText(root + "h/old.html"), "old");
    // Without an owner the writer takes what stands at the name, as before.
    CFileRef file;
    EXPECT_EQ(writer.Write({{"h"}}, "folder.html", true, "x", {}, file).Code(), -EISDIR);
}

}  // namespace
