// The report files as users read them, against the scripted HTTP peer: the
// site map lists saved pages only, by their exact suffix, with titles written
// once; the e-mail list holds decoded addresses with their last anchor text;
// reports that cannot be written are told in the log.
#include <algorithm>

#include <gtest/gtest.h>

#include "tests/crawl/crawl_test_support.h"
#include "tests/support/http_peer.h"

namespace {

using namespace crawltest;
using namespace testsupport;

class CrawlReports : public CrawlEnvironment {
protected:
    void SetUp() override
    {
        CrawlEnvironment::SetUp();
        SetPreference("Grab Offsite URLs", "false");
        mPeer = std::make_unique<HttpPeer>(std::vector<testsupport::HttpRoute>{
            {.path = "/",
             .body = Page("Home", "<a href=\"mailto:ann&#64;example.com\">Ann &amp; Co</a> <a href=\"/UPPER.HTML\">u</a> "
                                  "<a href=\"/gone.html\">g</a> <a href=\"/about.html\">a</a> "
                                  "<a href=\"mailto:bob@example.com\">Bob</a> "
                                  "<a href=\"mailto:ann@example.com\">Ann\r\n\tagain</a> "
                                  "<a href=\"http://127.0.0.2:9/away.html\">away</a>")},
            {.path = "/UPPER.HTML", .body = Page("Upper", "u")},
            {.path = "/about.html", .body = Page("Tom &amp; Jerry &#8212; &lt;about&gt;", "a")},
        });
    }

    CConfiguration ReportingConfiguration() const
    {
        CConfiguration configuration = MakeConfiguration();
        CMiscOptions& misc = configuration.mMiscOptions;
        misc.generateSiteMap = 1;
        misc.siteMapFormat = 3;
        misc.includeAll = 0;
        misc.siteMapSuffixes.Append(CFixedString255(".html"));
        misc.extractEmailAddresses = 1;
        misc.errorLinks = 1;
        misc.offsiteLinks = 1;
        return configuration;
    }

    std::string ReportName() const { return "127.0.0.1-" + std::to_string(mPeer->Port()); }

    std::unique_ptr<HttpPeer> mPeer;
};

TEST_F(CrawlReports, ReportsListWhatWasSavedAsUsersReadIt)
{
    CConfiguration configuration = ReportingConfiguration();
    RecordingGrabber window(configuration);
    ASSERT_TRUE(RunGrab(window, configuration, mPeer->Url("/")));
    const std::string host = "127.0.0.1:" + std::to_string(mPeer->Port());
    const std::string about = mPeer->Url("/about.html");

    // Not the page that failed (gone.html), not ".HTML" for ".html", not "/"
    // (no suffix); the title's entities written once. Every line ends with
    // LF alone, the last one too, so line tools count the lines people see.
    const struct {
        const char* suffix;
        std::string text;
        std::size_t lines;
    } reports[] = {
        {".sitemap.html",
         "<HTML>\n<HEAD>\n<TITLE>\n" + host + " Site Map</TITLE>\n</HEAD>\n<BODY BGCOLOR=\"#FFFFFF\">\n<H2>" + host +
             "</H2>\n\t<UL>\n\t<LI><A HREF=\"" + about + "\">Tom &amp; Jerry \xE2\x80\x94 &lt;about&gt; (" + about +
             ")</A>\n\t</UL>\n</BODY>\n</HTML>\n",
         12},
        {".email.txt", "Ann again\tann@example.com\nBob\tbob@example.com\n", 2},
        {".errors.txt", "Errors: \n\n" + mPeer->Url("/gone.html") + "\nReferred from: " + mPeer->Url("/") + "\n\n", 5},
        {".offsite.txt", "Offsite URLs: \n\nhttp://127.0.0.2:9/away.html\n", 3},
    };
    for (const auto& report : reports) {
        SCOPED_TRACE(report.suffix);
        const std::string text = FileText(Mirror() + "/" + ReportName() + report.suffix);
        EXPECT_EQ(text, report.text);
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), static_cast<std::ptrdiff_t>(report.lines));
        EXPECT_EQ(text.find('\r'), std::string::npos);
    }
    EXPECT_EQ(window.LogTranscript().find("could not be written"), std::string::npos) << window.LogTranscript();
}

TEST_F(CrawlReports, ReportsThatCannotBeWrittenAreLogged)
{
    mRoot.Write("blocked", "a file where the log folder should be");
    for (const std::string& folder : {mRoot.File("blocked") + "/logs", std::string()}) {
        SCOPED_TRACE("log folder \"" + folder + "\"");
        CConfiguration configuration = ReportingConfiguration();
        configuration.mMiscOptions.logFolder = folder.c_str();
        RecordingGrabber window(configuration);
        ASSERT_TRUE(RunGrab(window, configuration, mPeer->Url("/")));
        const std::string reason = folder.empty() ? " (No such file or directory)" : " (Not a directory)";
        const std::string shown = folder.empty() ? "(no log folder)" : folder + "/" + ReportName();
        for (const char* suffix : {".sitemap.html", ".email.txt", ".errors.txt", ".offsite.txt", ".cookies.plist"}) {
            const std::string line =
                "The report could not be written: " + shown + (folder.empty() ? "" : suffix) + reason;
            EXPECT_TRUE(window.Logged(line)) << line << "\n" << window.LogTranscript();
        }
    }
}

}  // namespace
