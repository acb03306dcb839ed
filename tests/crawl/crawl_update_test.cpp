// A second crawl into an existing mirror: what changed on the server
// replaces its saved copy, what the server no longer has keeps its copy and
// counts as an error, and every link still opens from disk.
#include <gtest/gtest.h>

#include <unistd.h>
#include <utime.h>

#include <ctime>

#include "tests/crawl/crawl_test_support.h"
#include "tests/support/nginx_peer.h"

namespace {

using namespace crawltest;
using namespace testsupport;

std::string Page(const std::string& body) { return "<html><head><title>T</title></head><body>" + body + "</body></html>"; }

class CrawlUpdate : public CrawlEnvironment {
protected:
    void SetUp() override
    {
        CrawlEnvironment::SetUp();
        SetPreference("Grab Offsite URLs", "false");
        SetPreference("Load URLs from disk", "false");
    }
};

TEST_F(CrawlUpdate, ASecondCrawlReplacesWhatChangedAndKeepsWhatTheServerLost)
{
    struct Row {
        const char* name;
        bool quick;
        bool checkDates;
    };
    for (const Row& row : {Row{"grabber", false, false}, Row{"grabber, date check", false, true},
                           Row{"quicker grabber", true, false}}) {
        SCOPED_TRACE(row.name);
        const std::string tag = std::string(row.quick ? "q" : "g") + (row.checkDates ? "d" : "");
        const std::string site = mRoot.MakeFolder("site-" + tag);
        const std::string mirror = mRoot.MakeFolder("mirror-" + tag);
        const std::string docs = "site-" + tag + "/docs/";
        mRoot.MakeFolder(docs);
        mRoot.Write("site-" + tag + "/index.html", Page("<a href=\"docs/a.html\">a</a> <a href=\"docs/gone.html\">g</a>"));
        mRoot.Write(docs + "a.html", Page("old a <a href=\"../index.html\">up</a> <img src=\"pic.png\">"));
        mRoot.Write(docs + "gone.html", Page("gone <a href=\"a.html\">a</a>"));
        mRoot.Write(docs + "pic.png", "old picture");
        // An hour older than the new one, which may come within the same second.
        const std::time_t old = std::time(nullptr) - 3600;
        const utimbuf times{old, old};
        ::utime(mRoot.File(docs + "pic.png").c_str(), &times);
        NginxPeer server(site, 60);

        auto crawl = [&](int expectedErrors) {
            CConfiguration configuration = MakeConfiguration();
            configuration.mGeneralOptions.localPath = mirror.c_str();
            configuration.mMiscOptions.logFolder = mirror.c_str();
            configuration.mGeneralOptions.checkFileModificationDates = row.checkDates ? 1 : 0;
            if (row.quick) {
                RecordingQuickGrabber window(configuration);
                ASSERT_TRUE(RunQuickGrab(window, configuration, server.Url("/")));
            } else {
                RecordingGrabber window(configuration);
                ASSERT_TRUE(RunGrab(window, configuration, server.Url("/")));
                EXPECT_NE(window.LogTranscript().find("Total errors: " + std::to_string(expectedErrors)),
                          std::string::npos)
                    << window.LogTranscript();
            }
        };
        crawl(0);
        const std::string host = "127.0.0.1/" + std::to_string(server.Port()) + "/";
        ASSERT_TRUE(ReadTree(mirror).contains(host + "docs/gone.html"));

        mRoot.Write(docs + "a.html", Page("new a <a href=\"../index.html\">up</a> <img src=\"pic.png\">"));
        mRoot.Write(docs + "pic.png", "new picture, longer than the old");
        ::unlink(mRoot.File(docs + "gone.html").c_str());
        crawl(1);

        const auto tree = ReadTree(mirror);
        EXPECT_NE(tree.at(host + "docs/a.html").find("new a"), std::string::npos);
        EXPECT_EQ(tree.at(host + "docs/pic.png"), "new picture, longer than the old");
        EXPECT_NE(tree.at(host + "docs/gone.html").find("gone"), std::string::npos) << "a lost page keeps its copy";
        const MirrorLinks links = CheckMirrorLinks(mirror);
        EXPECT_TRUE(links.broken.empty()) << links.broken.front();
        EXPECT_GE(links.local, 3);
    }
}

}  // namespace
