// Whole crawls of a static site served by nginx: the mirror's exact layout
// and bytes, links that open saved files from every depth, links to files
// that were not saved left as absolute URLs, and what the grabber window is
// told from start to end.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <regex>

#include "foundation/files/file.h"
#include "tests/crawl/crawl_test_support.h"
#include "tests/support/nginx_peer.h"

namespace {

using namespace crawltest;
using namespace testsupport;

constexpr char kPNGBytes[] = "\x89PNG\r\n\x1a\n\0\0\0\rIHDR-bytes";
const std::string kPNG(kPNGBytes, sizeof kPNGBytes - 1);
const std::regex kUUIDName("[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}\\.html");

class CrawlMirror : public CrawlEnvironment {
protected:
    void SetUp() override
    {
        CrawlEnvironment::SetUp();
        SetPreference("Grab Offsite URLs", "false");
        const std::string site = mRoot.MakeFolder("site");
        mRoot.Write("site/index.html",
                    "<html><head><title>Home</title><link rel=stylesheet href=\"style.css\"></head><body>\n"
                    "<a href=\"a/page1.html\">one</a> <a href=\"about%20us.html\">about</a>\n"
                    "<a href=\"/b/c/deep.html\">deep</a> <a href=\"http://127.0.0.1:{port}/b/\">b</a>\n"
                    "<img src=\"//127.0.0.1:{port}/img/logo.png\"> <a href=\"missing.html\">gone</a>\n"
                    "<a href=\"list.html?page=2\">2</a> <a href=\"list.html?page=3\">3</a>\n"
                    "<a href=\"mailto:ann@example.com\">Ann</a> <a href=\"#top\">top</a>\n"
                    "<a href=\"javascript:void(0)\">js</a> <a href=\"tel:+123\">tel</a>\n"
                    "<a href=\"http://127.0.0.2:9/elsewhere.html\">away</a>\n"
                    "</body></html>\n");
        mRoot.Write("site/about us.html", "<html><head><title>About</title></head><body>"
                                          "<a href=\"index.html\">home</a></body></html>\n");
        mRoot.Write("site/a/page1.html", "<html><head><title>One</title></head><body>\n"
                                         "<a href=\"../index.html\">up</a> <a href=\"/index.html\">root</a>\n"
                                         "<a href=\"../b/c/deep.html#sec\">deep</a></body></html>\n");
        mRoot.Write("site/b/index.html", "<html><head><title>B</title></head><body>"
                                         "<a href=\"c/deep.html\">deep</a></body></html>\n");
        mRoot.Write("site/b/c/deep.html", "<html><head><title>Deep</title></head><body>\n"
                                          "<a href=\"/\">home</a> <a href=\"../../a/page1.html\">one</a>\n"
                                          "<img src=\"http://127.0.0.1:{port}/img/logo.png\">\n"
                                          "<a href=\"?page=2\">next</a></body></html>\n");
        mRoot.Write("site/list.html", "<html><head><title>List</title></head><body>list</body></html>\n");
        mRoot.Write("site/style.css", "body { background: url(img/bg.png) }\n");
        mRoot.Write("site/img/logo.png", kPNG);
        mRoot.Write("site/img/bg.png", kPNG + "bg");
        mServer = std::make_unique<NginxPeer>(site, 60);
        // The pages name the server's own port.
        for (const char* page : {"site/index.html", "site/b/c/deep.html"}) {
            std::string text = FileText(mRoot.File(page));
            for (std::size_t at; (at = text.find("{port}")) != std::string::npos;)
                text.replace(at, 6, std::to_string(mServer->Port()));
            mRoot.Write(page, text);
        }
        mHost = "127.0.0.1/" + std::to_string(mServer->Port()) + "/";
    }

    std::unique_ptr<NginxPeer> mServer;
    std::string mHost;
};

TEST_F(CrawlMirror, MirrorsTheSiteWithLinksThatOpenSavedFilesFromEveryDepth)
{
    CConfiguration configuration = MakeConfiguration();
    configuration.mMiscOptions.errorLinks = 1;
    configuration.mMiscOptions.offsiteLinks = 1;
    RecordingGrabber window(configuration);
    ASSERT_TRUE(RunGrab(window, configuration, mServer->Url("/")));

    // The layout: every on-site file once, dynamic pages under names of
    // their own, nothing for the missing page or the offsite one.
    const auto tree = ReadTree(Mirror());
    std::vector<std::string> named;
    int generated = 0;
    for (const auto& [path, bytes] : tree) {
        if (std::regex_match(path.substr(path.rfind('/') + 1), kUUIDName)) ++generated;
        else named.push_back(path);
    }
    const std::string report = "127.0.0.1-" + std::to_string(mServer->Port());
    const std::vector<std::string> expected = {
        report + ".cookies.plist", report + ".errors.txt", report + ".offsite.txt",
        mHost + "Index.html",      mHost + "a/page1.html", mHost + "about us.html",
        mHost + "b/Index.html",    mHost + "b/c/deep.html", mHost + "img/bg.png",
        mHost + "img/logo.png",    mHost + "index.html",    mHost + "style.css",
    };
    EXPECT_EQ(named, expected);
    EXPECT_EQ(generated, 3) << "list.html?page=2, ?page=3 and deep.html?page=2";

    // Resources keep their bytes; pages link the mirror.
    EXPECT_EQ(tree.at(mHost + "img/logo.png"), kPNG);
    EXPECT_EQ(tree.at(mHost + "img/bg.png"), kPNG + "bg");
    EXPECT_EQ(tree.at(mHost + "style.css"), "body { background: url(img/bg.png) }\n");
    const std::string& deep = tree.at(mHost + "b/c/deep.html");
    EXPECT_NE(deep.find("<a href=\"../../Index.html\">home</a>"), std::string::npos) << deep;
    EXPECT_NE(deep.find("<a href=\"../../a/page1.html\">one</a>"), std::string::npos) << deep;
    EXPECT_NE(deep.find("<img src=\"../../img/logo.png\">"), std::string::npos) << deep;
    EXPECT_TRUE(std::regex_search(deep, std::regex("<a href=\"[0-9A-F-]{36}\\.html\">next</a>"))) << deep;
    const std::string& page1 = tree.at(mHost + "a/page1.html");
    EXPECT_NE(page1.find("<a href=\"../index.html\">root</a>"), std::string::npos) << page1;
    EXPECT_NE(page1.find("<a href=\"../b/c/deep.html#sec\">deep</a>"), std::string::npos) << page1;
    const std::string& home = tree.at(mHost + "Index.html");
    EXPECT_NE(home.find("<a href=\"about%20us.html\">about</a>"), std::string::npos) << home;
    EXPECT_NE(home.find("<a href=\"b/Index.html\">b</a>"), std::string::npos) << home;
    EXPECT_NE(home.find("<img src=\"img/logo.png\">"), std::string::npos) << home;
    EXPECT_NE(home.find("<a href=\"mailto:ann@example.com\">"), std::string::npos) << home;
    EXPECT_NE(home.find("<a href=\"javascript:void(0)\">"), std::string::npos) << home;

    const auto links = CheckMirrorLinks(Mirror());
    EXPECT_TRUE(links.broken.empty()) << ::testing::PrintToString(links.broken);
    EXPECT_GE(links.local, 20);
    const std::string base = "http://127.0.0.1:" + std::to_string(mServer->Port());
    // The start page and its copy under its own name ("/" and "index.html").
    std::vector<std::string> absolute = {mHost + "Index.html: " + base + "/missing.html",
                                         mHost + "Index.html: http://127.0.0.2:9/elsewhere.html",
                                         mHost + "index.html: " + base + "/missing.html",
                                         mHost + "index.html: http://127.0.0.2:9/elsewhere.html"};
    std::vector<std::string> found = links.absolute;
    std::sort(found.begin(), found.end());
    std::sort(absolute.begin(), absolute.end());
    EXPECT_EQ(found, absolute);

    // What the window was told.
    EXPECT_EQ(window.states, (std::vector<ECrawlState>{ECrawlState::kRunning, ECrawlState::kDone}));
    EXPECT_EQ(window.endings, 1);
    EXPECT_EQ(window.firstFile, Mirror() + "/" + mHost + "Index.html");
    EXPECT_EQ(window.firstFileReports, 1);
    EXPECT_EQ(window.firstFileHost, "127.0.0.1:" + std::to_string(mServer->Port()));
    EXPECT_TRUE(window.Logged("Crawling: " + mServer->Url("/")));
    EXPECT_TRUE(window.Logged("Done"));
    // Requests made: every file saved and the missing page; files grabbed:
    // the files saved.
    EXPECT_EQ(std::to_string(window.progress.requests), "13");
    const std::string files = "12";
    EXPECT_TRUE(window.Logged("Total files grabbed: " + files + "\rTotal errors: 1\rTotal bytes grabbed: " +
                              std::to_string(window.progress.bytes) + "\rTotal time: 0\r") ||
                window.Logged("Total files grabbed: " + files + "\rTotal errors: 1\rTotal bytes grabbed: " +
                              std::to_string(window.progress.bytes) + "\rTotal time: 1\r"))
        << window.LogTranscript();
    EXPECT_EQ(std::to_string(window.progress.errors), "1");
    EXPECT_EQ(window.levelsEnded, 1);
    EXPECT_FALSE(window.levelsStopped);
    for (const char* status : {"Grab content", "Extracting url's", "Relinking URLs", "Remapping URLs",
                               "Saving to disk", "Updating site map", "Idling"})
        EXPECT_TRUE(window.ShowedStatus(status)) << status;

    // The reports, byte for byte.
    EXPECT_EQ(FileText(Mirror() + "/" + report + ".errors.txt"),
              "Errors: \n\n" + base + "/missing.html\nReferred from: " + base + "/\n\n");
    EXPECT_EQ(FileText(Mirror() + "/" + report + ".offsite.txt"),
              "Offsite URLs: \n\nhttp://127.0.0.2:9/elsewhere.html\n");
}

TEST_F(CrawlMirror, LinkDepthLimitsTheLevelsAndTheLastLevelStillLinksTheMirror)
{
    CConfiguration configuration = MakeConfiguration();
    configuration.mGeneralOptions.linkDepth = 2;
    RecordingGrabber window(configuration);
    ASSERT_TRUE(RunGrab(window, configuration, mServer->Url("/")));
    const auto tree = ReadTree(Mirror());
    // The start page and what it links to; not deep.html's own links.
    EXPECT_TRUE(tree.contains(mHost + "b/c/deep.html"));
    EXPECT_TRUE(tree.contains(mHost + "a/page1.html"));
    EXPECT_FALSE(tree.contains(mHost + "index.html"));
    // page1 is on the last level: its link to the unsaved index.html is the
    // server's, its link to deep.html opens the saved file.
    const std::string& page1 = tree.at(mHost + "a/page1.html");
    const std::string base = "http://127.0.0.1:" + std::to_string(mServer->Port());
    EXPECT_NE(page1.find("<a href=\"" + base + "/index.html\">up</a>"), std::string::npos) << page1;
    EXPECT_NE(page1.find("<a href=\"../b/c/deep.html#sec\">deep</a>"), std::string::npos) << page1;
    EXPECT_TRUE(CheckMirrorLinks(Mirror()).broken.empty());
}

TEST_F(CrawlMirror, WithoutRelinkingPagesAreSavedAsServed)
{
    CConfiguration configuration = MakeConfiguration();
    configuration.mGeneralOptions.relinkURLs = 0;
    configuration.mGeneralOptions.remapURLs = 0;
    configuration.mGeneralOptions.remapSecondaryDomains = 0;
    RecordingGrabber window(configuration);
    ASSERT_TRUE(RunGrab(window, configuration, mServer->Url("/")));
    EXPECT_EQ(FileText(Mirror() + "/" + mHost + "a/page1.html"), FileText(mRoot.File("site/a/page1.html")));
    // Dynamic pages keep their query in their name.
    EXPECT_TRUE(ReadTree(Mirror()).contains(mHost + "list.html?page=2"));
}

// With saving off the crawl still walks the site, and an unsaved page is no
// failure: only what fails with saving on (the missing page) is counted.
TEST_F(CrawlMirror, WithSavingOffNothingIsSavedAndNothingMoreCountsAsAFailure)
{
    std::map<int, std::string> errors;
    for (int saveAction : {0, 1}) {
        SCOPED_TRACE(saveAction);
        CConfiguration configuration = MakeConfiguration();
        configuration.mGeneralOptions.saveAction = saveAction;
        configuration.mGeneralOptions.linkDepth = 2;
        RecordingGrabber window(configuration);
        ASSERT_TRUE(RunGrab(window, configuration, mServer->Url("/")));
        bool mirrored = false;
        for (const auto& [path, bytes] : ReadTree(Mirror())) mirrored = mirrored || path.starts_with(mHost);
        EXPECT_EQ(mirrored, saveAction == 1);
        errors[saveAction] = std::to_string(window.progress.errors);
        EXPECT_EQ(window.LogTranscript().find("could not be saved"), std::string::npos) << window.LogTranscript();
    }
    EXPECT_EQ(errors[0], errors[1]);
}

// Saved as bookmarks, the files are empty, in the mirror's own places under
// the URLs' own names, each labelled with its URL.
TEST_F(CrawlMirror, BookmarksAreEmptyFilesLabelledWithTheirURLs)
{
    CConfiguration configuration = MakeConfiguration();
    configuration.mGeneralOptions.saveAction = 2;
    configuration.mGeneralOptions.linkDepth = 2;
    RecordingGrabber window(configuration);
    ASSERT_TRUE(RunGrab(window, configuration, mServer->Url("/")));
    EXPECT_EQ(window.LogTranscript().find("could not be saved"), std::string::npos) << window.LogTranscript();

    const auto tree = ReadTree(Mirror());
    for (const auto& [path, bytes] : tree) {
        if (!path.starts_with(mHost)) continue;  // the reports
        EXPECT_EQ(bytes, "") << path;
    }
    const struct {
        const char* path;  // below the host's folder
        const char* url;   // below the server's root
    } cases[] = {
        {"a/page1.html", "/a/page1.html"},
        {"about us.html", "/about%20us.html"},
        {"list.html?page=2", "/list.html?page=2"},
        {"style.css", "/style.css"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        ASSERT_TRUE(tree.contains(mHost + c.path));
        std::string label;
        const int status = CFile::GetFinderComment(CFileRef(Mirror() + "/" + mHost + c.path), label).Code();
        if (status == -ENOTSUP) continue;  // no user attributes here
        ASSERT_EQ(status, 0);
        EXPECT_EQ(label, mServer->Url(c.url));
    }
}

// The alias of a crawl's first file is made in the aliases folder, or,
// when none is set, beside the mirror in the crawl's download folder (never
// in the desktop's, which need not exist); one that cannot be made is told.
// One left by an earlier crawl of the site stays.
TEST_F(CrawlMirror, TheAliasOfTheFirstFileIsMadeOrTold)
{
    mRoot.MakeFolder("aliases");
    mRoot.Write("blocked", "a file where the aliases folder should be");
    const std::string alias = "127.0.0.1:" + std::to_string(mServer->Port()) + " alias";
    const struct {
        const char* name;
        std::string folder;
        const char* reason;  // "" when the alias is there afterwards
    } cases[] = {
        {"no aliases folder set", "", ""},
        {"first crawl", mRoot.File("aliases"), ""},
        {"again", mRoot.File("aliases"), ""},
        {"missing folder", mRoot.File("missing"), "No such file or directory"},
        {"a file in place of the folder", mRoot.File("blocked") + "/aliases", "Not a directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // The desktop's download folder is missing: no crawl is told so.
        if (c.folder.empty()) std::filesystem::remove_all(Root() + "/home/Downloads");
        SetPreference("Create Aliases", "true");
        SetPreference("Aliases Folder Location", c.folder.c_str());
        ReloadSettings();
        CConfiguration configuration = MakeConfiguration();
        configuration.mGeneralOptions.linkDepth = 1;
        RecordingGrabber window(configuration);
        ASSERT_TRUE(RunGrab(window, configuration, mServer->Url("/")));
        const std::string folder = c.folder.empty() ? Mirror() : c.folder;
        const std::string told = "The alias could not be made: " + folder + "/" + alias;
        if (*c.reason == '\0') {
            std::error_code error;
            EXPECT_TRUE(std::filesystem::is_symlink(folder + "/" + alias, error));
            EXPECT_EQ(window.LogTranscript().find("The alias could not be made"), std::string::npos)
                << window.LogTranscript();
        } else {
            EXPECT_TRUE(window.Logged(told + " (" + c.reason + ")")) << window.LogTranscript();
        }
    }
}

}  // namespace
