// The plug-in as a host sees it: peek-host loads libwebpeek.so, runs a
// command list and prints one line per result, and the plug-in's system-log
// lines come along on its standard error.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "tests/support/file_bytes.h"
#include "tests/support/http_peer.h"
#include "tests/support/nginx_peer.h"
#include "tests/support/peer_process.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace std::chrono_literals;
using testsupport::HttpPeer;
using testsupport::HttpRoute;
using testsupport::NginxPeer;
using testsupport::TempDir;
using Lines = std::vector<std::string>;

std::string BlockPage(int width, int height)
{
    return "<!DOCTYPE html><html><body style=\"margin:0\"><div style=\"width:" + std::to_string(width) +
           "px;height:" + std::to_string(height) + "px;background:#3a6ea5\"></div></body></html>";
}

// A main window with a menu bar and a status bar: its content area is the
// central widget, smaller than the window.
const char* const kFramedNib = R"(<?xml version="1.0" encoding="UTF-8"?>
<ui version="4.0">
 <class>FramedWindow</class>
 <widget class="QMainWindow" name="FramedWindow">
  <property name="geometry"><rect><x>0</x><y>0</y><width>800</width><height>600</height></rect></property>
  <widget class="QWidget" name="centralwidget"/>
  <widget class="QMenuBar" name="menubar"><widget class="QMenu" name="menuFile">
   <property name="title"><string>File</string></property></widget><addaction name="menuFile"/></widget>
  <widget class="QStatusBar" name="statusbar"/>
 </widget>
</ui>
)";

struct HostRun {
    Lines results;       // the host's result lines
    Lines log;           // the plug-in's system-log lines
    std::string output;  // everything, for failure messages
};

class WebpeekTest : public testing::Test {
protected:
    void SetUp() override
    {
        // Offscreen, without the engine's sandbox (the tests may run as
        // root), and with every file the engine writes kept in the test's
        // own folder.
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 1);
        ::setenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox --disable-gpu", 1);
        ::setenv("HOME", mHome.Path().c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", mHome.File("config").c_str(), 1);
        ::setenv("XDG_CACHE_HOME", mHome.File("cache").c_str(), 1);
        ::setenv("XDG_DATA_HOME", mHome.File("data").c_str(), 1);
        const std::string runtime = mHome.MakeFolder("runtime");
        ::chmod(runtime.c_str(), 0700);
        ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        ::setenv("WEBPEEK_NIB_PATH", mNibs.Path().c_str(), 1);
        mNibs.Write("Framed.ui", kFramedNib);
        ::unsetenv("WEBPEEK_LOAD_TIMEOUT");
        // Under AddressSanitizer: deleting a page makes the engine delete an
        // object through a base of another size inside its own code (a bare
        // program that deletes its view before its application does the
        // same), and the engine keeps allocations for the life of the
        // process; neither is ours to mend.
        const char* asan = std::getenv("ASAN_OPTIONS");
        ::setenv("ASAN_OPTIONS", ((asan && *asan ? std::string(asan) + ":" : "") + "new_delete_type_mismatch=0").c_str(),
                 1);
        ::setenv("LSAN_OPTIONS", "suppressions=" TIDEWELL_SOURCE_DIR "/tests/webpeek/web_engine_leaks.supp", 1);
    }

    HostRun RunHost(const Lines& commands, const std::string& expectedStatus = "exit 0")
    {
        std::vector<std::string> argv{WEBPEEK_HOST, "--library", WEBPEEK_LIBRARY};
        argv.insert(argv.end(), commands.begin(), commands.end());
        const std::string outputFile = mHome.File("host-output.txt");
        const int status = testsupport::RunProgram(argv, outputFile, 300s);
        HostRun run;
        run.output = testsupport::ReadFileBytes(outputFile);
        EXPECT_EQ(testsupport::DescribeWaitStatus(status), expectedStatus) << run.output;
        std::istringstream lines(run.output);
        for (std::string line; std::getline(lines, line);) {
            static const Lines kResults{"window ", "loaded ", "size ", "fills ", "visible ", "grab ", "last "};
            if (line.rfind("peek-host: ", 0) == 0) run.log.push_back(line.substr(11));
            for (const auto& prefix : kResults)
                if (line.rfind(prefix, 0) == 0) run.results.push_back(line);
        }
        return run;
    }

    TempDir mHome;
    TempDir mNibs;
    TempDir mSite;
};

TEST_F(WebpeekTest, MeasuresEachLoadByItsOwnPage)
{
    mSite.Write("block.html", BlockPage(1500, 2500));
    mSite.Write("tall.html", BlockPage(1200, 3300));
    NginxPeer site(mSite.Path());
    const auto run = RunHost({"init", "window", "Webpeek", "WebWindow", "show",
                              "load", site.Url("/block.html"), "size",
                              "load", site.Url("/tall.html"), "size", "term"});
    EXPECT_EQ(run.results, (Lines{"window 0", "loaded 1", "size 1500 2500", "loaded 1", "size 1200 3300"}))
        << run.output;
    EXPECT_EQ(run.log, (Lines{"Webpeek is initialized.", "Loading url: " + site.Url("/block.html"), "Completed!",
                              "Loading url: " + site.Url("/tall.html"), "Completed!"}))
        << run.output;
}

// A load waits for its own view only, and never for longer than the time-out.
TEST_F(WebpeekTest, WaitsForItsOwnViewUntilTheTimeout)
{
    mSite.Write("block.html", BlockPage(1500, 2500));
    NginxPeer site(mSite.Path());
    const std::string late = BlockPage(300, 300);
    HttpPeer pages({{.path = "/late", .headers = {{"Content-Type", "text/html"}}, .body = late, .stallSeconds = 5},
                    {.path = "/later", .headers = {{"Content-Type", "text/html"}}, .body = late, .stallSeconds = 5},
                    {.path = "/never", .headers = {{"Content-Type", "text/html"}}, .body = late,
                     .stallSeconds = 600}},
                   {.lifetimeSeconds = 300});
    ::setenv("WEBPEEK_LOAD_TIMEOUT", "3", 1);
    const auto run = RunHost({"init", "window", "Webpeek", "WebWindow", "show", "window", "Webpeek", "WebWindow", "show",
                              // Times out; the next load on the same view takes it over and
                              // still waits for its own page.
                              "select", "0", "load", pages.Url("/late"),
                              "load", site.Url("/block.html"), "size",
                              // The other view's late page finishes during this wait,
                              // which must not end it.
                              "select", "1", "load", pages.Url("/later"),
                              "select", "0", "load", pages.Url("/never")});
    EXPECT_EQ(run.results, (Lines{"window 0", "window 1", "loaded 0", "loaded 1", "size 1500 2500", "loaded 0",
                                  "loaded 0"}))
        << run.output;
}

// The view covers the content area whatever the window's size, and a closed
// window is only hidden: shown again, it still holds the page.
TEST_F(WebpeekTest, ViewFollowsItsWindow)
{
    mSite.Write("block.html", BlockPage(1500, 2500));
    NginxPeer site(mSite.Path());
    struct Case {
        const char* nib;
        const char* window;
        bool contentSmallerThanWindow;
    };
    for (const Case& c : {Case{"Webpeek", "WebWindow", false}, Case{"Framed", "FramedWindow", true}}) {
        SCOPED_TRACE(c.nib);
        const std::string picture = mHome.File(std::string(c.nib) + ".png");
        const auto run = RunHost({"init", "window", c.nib, c.window, "show", "load", site.Url("/block.html"),
                                  "resize", "640", "480", "close", "show", "size", "grab", picture});
        ASSERT_EQ(run.results.size(), 7u) << run.output;
        int viewWidth = 0;
        int viewHeight = 0;
        ASSERT_EQ(std::sscanf(run.results[2].c_str(), "fills 1 %d %d", &viewWidth, &viewHeight), 2) << run.output;
        EXPECT_EQ(viewWidth, 640);
        if (c.contentSmallerThanWindow) {
            EXPECT_GT(viewHeight, 0);
            EXPECT_LT(viewHeight, 480);
        } else {
            EXPECT_EQ(viewHeight, 480);
        }
        EXPECT_EQ(run.results[3], "visible 0") << run.output;
        EXPECT_EQ(run.results[4], "visible 1") << run.output;
        EXPECT_EQ(run.results[5], "size 1500 2500") << run.output;
        EXPECT_EQ(run.results[6], "grab 640 480 painted 1") << run.output;
    }
}

// Nibs are found by name and hold the window by name; handles that are no
// web view, and URLs that are none, change nothing and load nothing.
TEST_F(WebpeekTest, RefusesWhatItCannotUse)
{
    mSite.Write("block.html", BlockPage(1500, 2500));
    NginxPeer site(mSite.Path());
    // Names the nib folder's own Framed.ui through a path.
    const std::string nibFolder = mNibs.Path().substr(mNibs.Path().rfind('/') + 1);
    const auto run = RunHost({// Before the plug-in is initialized there is no application.
                              "term", "window", "Webpeek", "WebWindow", "show", "init",
                              "window", "Missing", "WebWindow", "show",
                              "window", "Webpeek", "NoSuchWindow", "show",
                              "window", "../" + nibFolder + "/Framed", "FramedWindow", "show",
                              "window", "Framed", "FramedWindow", "hide",
                              "window", "Webpeek", "WebWindow", "hide",
                              "load", site.Url("/block.html"),
                              "load-into", "window", site.Url("/block.html"),
                              "load", site.Url("/block.html"),
                              "load-into", "null", site.Url("/block.html"),
                              "load", "http://exa mple.invalid/ page",
                              "size-of", "window", "size-of", "null", "size"});
    EXPECT_EQ(run.results, (Lines{"window null", "window null", "window null", "window null", "window 0", "window 1",
                                  "loaded 1", "loaded 0", "loaded 1", "loaded 0", "loaded 0",
                                  "size -1 -1", "size -1 -1", "size 1500 2500"}))
        << run.output;
}

// The engine lives as long as the process: terminating and initializing
// again keeps the plug-in usable.
TEST_F(WebpeekTest, InitializesAgainAfterTerminate)
{
    mSite.Write("block.html", BlockPage(1500, 2500));
    NginxPeer site(mSite.Path());
    Lines commands;
    for (int round = 0; round < 2; ++round)
        commands.insert(commands.end(), {"init", "init", "window", "Webpeek", "WebWindow", "show",
                                         "load", site.Url("/block.html"), "size", "term"});
    const auto run = RunHost(commands);
    EXPECT_EQ(run.results, (Lines{"window 0", "loaded 1", "size 1500 2500", "window 1", "loaded 1", "size 1500 2500"}))
        << run.output;
}

// Once the plug-in runs the application, the process ends without the
// static destructors the engine's threads would race; the host's exit
// status and its last output still come through.
TEST_F(WebpeekTest, KeepsTheHostsExitStatusAndOutput)
{
    mSite.Write("block.html", BlockPage(1500, 2500));
    NginxPeer site(mSite.Path());
    struct Case {
        Lines commands;
        const char* status;
        Lines results;
    };
    const Case cases[] = {
        {{"init", "window", "Webpeek", "WebWindow", "show", "load", site.Url("/block.html"), "size"}, "exit 0",
         {"window 0", "loaded 1", "size 1500 2500"}},
        {{"init", "window", "Webpeek", "WebWindow", "show", "load", site.Url("/block.html"), "no-such-command"},
         "exit 2", {"window 0", "loaded 1"}},
        {{"select", "0"}, "exit 2", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.commands.back());
        const auto run = RunHost(c.commands, c.status);
        EXPECT_EQ(run.results, c.results) << run.output;
    }
}

TEST(WebpeekLibrary, ExportsOnlyItsSixSymbols)
{
    TempDir dir;
    const std::string listing = dir.File("symbols.txt");
    const int status = testsupport::RunProgram({"/usr/bin/nm", "-D", "--defined-only", WEBPEEK_LIBRARY}, listing);
    ASSERT_EQ(testsupport::DescribeWaitStatus(status), "exit 0");
    Lines names;
    std::istringstream lines(testsupport::ReadFileBytes(listing));
    for (std::string address, kind, name; lines >> address >> kind >> name;) names.push_back(name);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (Lines{"CreateWebWindow", "GetDocumentViewSize", "InitializeWebpeek", "TerminateWebpeek",
                            "Webpeek", "gLoaded"}));
}

}  // namespace
