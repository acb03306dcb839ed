#include <sys/mount.h>
#include <time.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <vector>

#include <gtest/gtest.h>

#include "app/framework/cleanup.h"
#include "app/framework/commander.h"
#include "app/framework/dialog.h"
#include "app/framework/window_hooks.h"
#include "app/windows/grabber/grabber.h"
#include "app/windows/grabber/grabber_layout.h"
#include "app/windows/grabber/open_grabber.h"
#include "app/windows/quicker_grabber/quicker_grabber.h"
#include "app/windows/quicker_grabber/quicker_grabber_layout.h"
#include "engine/config/configuration_files.h"
#include "platform/launch/program_launcher.h"
#include "tests/crawl/failure_cases.h"
#include "tests/grabber_windows/window_test_support.h"
#include "tests/support/http_peer.h"
#include "tests/support/nginx_peer.h"
#include "tests/windows/paint_counter.h"
#include "tests/windows/print_to_pdf.h"

namespace {

using namespace grabber;
using namespace std::chrono_literals;
using testsupport::HttpPeer;

std::string Page(const std::string& body) { return "<html><head><title>T</title></head><body>" + body + "</body></html>"; }

bool Requested(const HttpPeer& peer, const std::string& target)
{
    for (const auto& request : peer.Requests())
        if (request.target == target) return true;
    return false;
}

int Number(const std::string& text) { return std::atoi(text.c_str()); }

// A configuration file made unreadable after it was chosen, with the reason
// the window gives; the first stays readable.
struct SSpoiledConfiguration {
    const char* name;
    const char* reason;  // empty: still readable
    std::function<void(const std::string& file)> spoil;
};

const std::vector<SSpoiledConfiguration>& SpoiledConfigurations()
{
    static const std::vector<SSpoiledConfiguration> cases = {
        {"Readable", "", [](const std::string&) {}},
        {"Removed", "No such file or directory", [](const std::string& file) { std::filesystem::remove(file); }},
        {"Folder", "Is a directory",
         [](const std::string& file) {
             std::filesystem::remove(file);
             std::filesystem::create_directory(file);
         }},
    };
    return cases;
}

// Records the commands that reach the application.
class CRecordingApplication : public CCommander {
public:
    bool HandleCommand(CommandT command, void*) override
    {
        commands.push_back(command);
        return true;
    }
    std::vector<CommandT> commands;
};

class Grabber : public gwtest::WindowTest {
protected:
    CGrabber* Open(CCommander* super = nullptr) { return OpenGrabberWindow(super); }
    std::string LogPane(CGrabber& window) { return Text(window, kText); }
    // A named configuration that mirrors into the test's folder.
    void MakeConfigurationFile(const std::string& name, bool withLog)
    {
        CConfiguration configuration = MakeConfiguration();
        configuration.mMiscOptions.generateLog = withLog ? 1 : 0;
        configuration.mMiscOptions.generateSiteMap = 1;
        ASSERT_EQ(CreateConfigurationFile(name, configuration).Code(), 0);
    }
    void Choose(CGrabber& window, const std::string& name)
    {
        CPane* menu = window.FindPaneByID(kMenu);
        for (int item = 1; item <= menu->CountMenuItems(); ++item)
            if (menu->GetMenuItemText(item) == name) menu->SetValue(item);
        ASSERT_EQ(window.ChosenConfiguration(), name);
    }
    // A new window whose grab of `url` with configuration `name` has started.
    CGrabber* StartGrab(const std::string& name, const std::string& url)
    {
        CGrabber* window = Open();
        Choose(*window, name);
        window->SetStartURL(url);
        Click(*window, kStart);
        return window;
    }
    bool RunUntilDone(CGrabber& window)
    {
        return RunEvents([&] { return window.GetState() == kWindowDone && !window.IsCrawling(); });
    }
};

TEST_F(Grabber, AGrabWithANamedConfigurationFillsCountersLogAndSiteMap)
{
    // Pages that take longer than the window's pace, so each level is shown
    // while it is crawled.
    HttpPeer peer({
        {.path = "/index.html", .body = Page("<a href=\"a.html\">a</a> <a href=\"sub/b.html\">b</a>")},
        {.path = "/a.html", .body = Page("<a href=\"index.html\">home</a> <a href=\"c.html\">c</a>"),
         .stallSeconds = 0.6},
        {.path = "/c.html", .body = Page("c"), .stallSeconds = 0.6},
        {.path = "/sub/b.html", .body = Page("<a href=\"../a.html\">a</a>"), .stallSeconds = 0.6},
    });
    MakeConfigurationFile("Site", true);

    CGrabber* window = StartGrab("Site", "127.0.0.1:" + std::to_string(peer.Port()) + "/index.html");
    int deepestLevel = 0;
    int levelProgress = 0;
    ASSERT_TRUE(RunEvents([&] {
        deepestLevel = std::max(deepestLevel, Number(Text(*window, kLevel)));
        levelProgress = std::max(levelProgress, window->FindPaneByID(kLevelProgress)->GetValue());
        return window->GetState() == kWindowDone && !window->IsCrawling();
    }));
    Screenshot(*window, "grabber_after_grab");

    EXPECT_EQ(Text(*window, kURL), peer.Url("/index.html")) << "http:// goes in front";
    EXPECT_GE(Number(Text(*window, kRequests)), 4);
    EXPECT_EQ(Text(*window, kErrors), "0");
    EXPECT_GT(Number(Text(*window, kBytes)), 0);
    EXPECT_FALSE(Text(*window, kStartTime).empty());
    EXPECT_FALSE(Text(*window, kFinishTime).empty());
    EXPECT_EQ(deepestLevel, 3);
    EXPECT_GT(levelProgress, 0);
    // The start check's read of the start page serves the crawl.
    for (const char* page : {"/index.html", "/a.html"}) EXPECT_EQ(peer.RequestCount(page), 1) << page;
    for (const char* file : {"index.html", "a.html", "sub/b.html", "c.html"})
        EXPECT_NE(LogPane(*window).find(file), std::string::npos) << file;
    const auto tree = crawltest::ReadTree(Mirror());
    EXPECT_TRUE(tree.contains("127.0.0.1/" + std::to_string(peer.Port()) + "/c.html"));
    EXPECT_EQ(Text(*window, kCancel), "Done");
    EXPECT_TRUE(IsEnabled(*window, kCancel));
    EXPECT_EQ(window->NotificationRequests(), 0);

    // The crawl object is gone: 'SMAP' opens the site map it wrote.
    Click(*window, kSiteMap);
    ASSERT_FALSE(mSpawned.empty());
    EXPECT_EQ(mSpawned.back().back(), window->SiteMapPath());
    EXPECT_NE(crawltest::FileText(window->SiteMapPath()).find("c.html"), std::string::npos);

    // The log holds what the pane showed, and its closing line comes last.
    const std::string logPath = window->LogFilePath();
    ASSERT_FALSE(logPath.empty());
    EXPECT_TRUE(window->IsLogOpen());
    Click(*window, kCancel);  // idle: closes
    EXPECT_TRUE(window->IsScheduledForCleanup());
    DeleteScheduledObjects();
    const std::string log = crawltest::FileText(logPath);
    EXPECT_NE(log.find("sub/b.html"), std::string::npos);
    const std::size_t closing = log.rfind("Tidewell stopping logging at ");
    ASSERT_NE(closing, std::string::npos);
    EXPECT_EQ(log.find('\n', closing), log.size() - 1) << "nothing follows the closing line";
}

std::vector<std::string> LogLines(std::string text);

// However fast the crawl reports, the window changes at a reader's pace
// (a repaint of a counter at most every quarter second or so, plus the
// user's own actions), and once the grab ends its counters equal the
// crawl's totals and its log pane holds every line of the log file, in order.
TEST_F(Grabber, AfterAGrabTheCountersAndLogPaneShowTheLastStateExactly)
{
    const std::string site = mRoot.MakeFolder("site");
    constexpr int kPages = 120;
    std::string links;
    for (int i = 0; i < kPages; ++i) {
        links += "<a href=\"p" + std::to_string(i) + ".html\">p</a> <a href=\"gone" + std::to_string(i % 3) +
                 ".html\">gone</a> ";
        mRoot.Write("site/p" + std::to_string(i) + ".html", Page("<a href=\"index.html\">home</a>"));
    }
    mRoot.Write("site/index.html", Page(links));
    testsupport::NginxPeer nginx(site);
    HttpPeer slow({{.path = "/", .body = Page("<a href=\"slow.html\">slow</a>")},
                   {.path = "/slow.html", .body = Page("slow"), .stallSeconds = 60}});
    MakeConfigurationFile("Site", true);

    const struct {
        const char* name;
        std::string url;
        bool stop;  // stopped by the user while a page stalls
    } cases[] = {
        {"runs to its end", nginx.Url("/index.html"), false},
        {"stopped by the user", slow.Url("/"), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CGrabber* window = StartGrab("Site", c.url);
        windowtest::CPaintCounter requests(window->FindPaneByID(kRequests)->GetWidget());
        const auto start = std::chrono::steady_clock::now();
        if (c.stop) {
            ASSERT_TRUE(RunEvents([&] { return Requested(slow, "/slow.html"); }));
            Click(*window, kCancel);
        }
        ASSERT_TRUE(RunUntilDone(*window));
        const auto elapsed = std::chrono::steady_clock::now() - start;

        const std::vector<std::string> lines = LogLines(LogPane(*window));
        auto total = [&](const std::string& name) {
            for (const std::string& line : lines)
                if (line.rfind(name, 0) == 0) return line.substr(name.size());
            return std::string("none");
        };
        EXPECT_EQ(Text(*window, kErrors), total("Total errors: "));
        EXPECT_EQ(Text(*window, kBytes), total("Total bytes grabbed: "));
        if (!c.stop) {
            EXPECT_EQ(Number(Text(*window, kRequests)), kPages + 1 + 3);
            EXPECT_EQ(Text(*window, kErrors), "3");
            EXPECT_EQ(Text(*window, kLevel), "") << "a finished crawl clears its level";
            // Every URL changed the counters; a reader saw a few of them.
            const auto quarters = std::chrono::duration_cast<std::chrono::milliseconds>(elapsed) / 250ms;
            EXPECT_GT(requests.paints, 0);
            EXPECT_LE(requests.paints, 2 * quarters + 10) << "over " << quarters << " quarter seconds";
        }
        EXPECT_EQ(Text(*window, kCancel), "Done");
        EXPECT_TRUE(IsEnabled(*window, kStart));

        // The pane shows what the log file holds, line for line.
        const std::string logPath = window->LogFilePath();
        Click(*window, kCancel);
        DeleteScheduledObjects();
        std::vector<std::string> logged = LogLines(crawltest::FileText(logPath));
        // Both grabs log into the host's file: this grab's lines follow its
        // start line and precede its stop line (and the file's last line end).
        auto first = logged.end();
        for (auto line = logged.begin(); line != logged.end(); ++line)
            if (line->rfind("Tidewell starting logging at ", 0) == 0) first = line + 1;
        ASSERT_GE(logged.end() - first, 2);
        logged = std::vector<std::string>(first, logged.end() - 2);
        // The pane keeps a CR LF as two line ends: blank lines aside. A full
        // pane starts afresh, so it shows the log's newest lines.
        std::vector<std::string> shown = lines;
        std::erase(shown, "");
        std::erase(logged, "");
        ASSERT_FALSE(shown.empty());
        ASSERT_LE(shown.size(), logged.size());
        EXPECT_EQ(shown, std::vector<std::string>(logged.end() - static_cast<std::ptrdiff_t>(shown.size()), logged.end()));
    }
}

// Lines of a log text, whichever line ends it uses.
std::vector<std::string> LogLines(std::string text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != '\r' && text[i] != '\n') continue;
        lines.push_back(text.substr(start, i - start));
        start = i + 1;
    }
    return lines;
}

bool HasLineStarting(const std::vector<std::string>& lines, const std::string& start)
{
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) { return line.rfind(start, 0) == 0; });
}

// A grab that fails says what failed in the log pane and the log file, and
// never logs "Done"; a URL that cannot be grabbed is refused before
// anything is made for it; a mirror that cannot be written ends the grab at
// its first save.
TEST_F(Grabber, AFailedGrabSaysWhatFailed)
{
    using crawltest::EFailureFolder;
    HttpPeer peer({
        {.path = "/", .body = Page(crawltest::kFailureSiteLinks)},
        {.path = "/a.html", .body = Page("a")},
        {.path = "/b.html", .body = Page("b")},
    });
    // The log lies apart from the mirror, so a mirror that cannot be
    // written is met by the crawl, not by the log.
    CConfiguration configuration = MakeConfiguration();
    configuration.mMiscOptions.generateLog = 1;
    configuration.mMiscOptions.logFolder = mRoot.MakeFolder("logs").c_str();
    ASSERT_EQ(CreateConfigurationFile("Site", configuration).Code(), 0);
    for (const crawltest::SFailureCase& c : crawltest::FailureCases()) {
        SCOPED_TRACE(c.name);
        std::optional<testsupport::UnwritableFolder> unwritable;
        if (!c.PrepareFolder(Mirror(), unwritable)) GTEST_SKIP() << "no unwritable folder here";
        const std::size_t requestsBefore = peer.Requests().size();
        const std::string url = c.StartURL([&](const char* path) { return peer.Url(path); });
        const std::string told = c.Told(url, Mirror());

        CScriptedAnswers::Clear();
        CScriptedAnswers::Push(kMsgOK);
        CGrabber* window = StartGrab("Site", url);
        ASSERT_TRUE(RunEvents([&] { return !window->IsCheckingStartURL() && !window->IsCrawling(); }));
        const std::vector<std::string> pane = LogLines(LogPane(*window));
        EXPECT_TRUE(HasLineStarting(pane, told)) << LogPane(*window);
        EXPECT_FALSE(HasLineStarting(pane, "Done")) << LogPane(*window);
        EXPECT_EQ(window->GetState(), c.crawled ? kWindowDone : kWindowNeverStarted);
        if (c.place == crawltest::EFailurePlace::kUnknownHost) Screenshot(*window, "grabber_failed");
        const std::string logPath = window->LogFilePath();
        delete window;

        // Nothing is left in the mirror, and the log says what the pane said.
        const std::set<std::string> left = crawltest::ListTree(Mirror());
        if (c.crawled) {
            EXPECT_EQ(logPath, mRoot.File("logs/" + CURL(url).mHost + ".log"));
            const std::vector<std::string> log = LogLines(crawltest::FileText(logPath));
            EXPECT_TRUE(HasLineStarting(log, told)) << crawltest::FileText(logPath);
            EXPECT_FALSE(HasLineStarting(log, "Done")) << crawltest::FileText(logPath);
        }
        EXPECT_TRUE(left.empty()) << *left.begin();
        if (c.folder == EFailureFolder::kUnwritable) {
            EXPECT_FALSE(Requested(peer, "/a.html"));
        }
        if (!c.crawled) {
            EXPECT_EQ(peer.Requests().size(), requestsBefore);
        }
    }
}

// 'Star' pauses and resumes, 'CNCL' stops (a paused crawl is resumed first
// so that it reaches its stop check), and the window can close afterwards.
TEST_F(Grabber, PauseResumeAndStopActOnTheCrawl)
{
    const struct {
        const char* name;
        bool pause;
        bool resume;
        bool stop;
    } cases[] = {
        {"stop while running", false, false, true},
        {"stop while paused", true, false, true},
        {"pause, then resume to the end", true, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HttpPeer peer({
            {.path = "/", .body = Page("<a href=\"/a.html\">a</a> <a href=\"/b.html\">b</a>")},
            {.path = "/a.html", .body = Page("a"), .stallSeconds = c.stop ? 30.0 : 0.3},
            {.path = "/b.html", .body = Page("b")},
        });
        CGrabber* window = Open();
        window->SetStartURL(peer.Url("/"));
        Click(*window, kStart);
        ASSERT_TRUE(RunEvents([&] { return Requested(peer, "/a.html"); }));
        EXPECT_EQ(window->GetState(), kWindowRunning);
        if (c.pause) {
            Click(*window, kStart);
            EXPECT_EQ(window->GetState(), kWindowPaused);
            EXPECT_EQ(Text(*window, kStart), "Resume");
            EXPECT_NE(LogPane(*window).find("Grabber Paused."), std::string::npos);
            Screenshot(*window, "grabber_paused");
            if (c.resume) {
                RunEvents([] { return false; }, 600ms);
                EXPECT_FALSE(Requested(peer, "/b.html")) << "a paused crawl makes no request";
                Click(*window, kStart);
                EXPECT_EQ(Text(*window, kStart), "Pause");
                EXPECT_NE(LogPane(*window).find("Grabber Resumed."), std::string::npos);
            }
        }
        if (c.stop) Click(*window, kCancel);
        ASSERT_TRUE(RunEvents([&] { return !window->IsCrawling(); }));
        EXPECT_EQ(window->GetState(), kWindowDone);
        EXPECT_EQ(Requested(peer, "/b.html"), !c.stop);
        EXPECT_EQ(LogPane(*window).find("Grabber stopping at your request.") != std::string::npos, c.stop);
        EXPECT_TRUE(IsEnabled(*window, kCancel));
        Click(*window, kCancel);
        EXPECT_TRUE(window->IsScheduledForCleanup());
        DeleteScheduledObjects();
    }
}

// Each grab of a window names its start host after the window's title:
// once, however often the window grabs.
TEST_F(Grabber, EachGrabOfAWindowNamesItsHostInTheTitleOnce)
{
    HttpPeer peer({{.path = "/", .body = Page("home")}});
    const std::string url = peer.Url("/");
    const std::size_t hostStart = url.find("//") + 2;
    const std::string host = url.substr(hostStart, url.find('/', hostStart) - hostStart);
    CGrabber* window = Open();
    const std::string titled = window->GetTitle() + ": " + host;
    window->SetStartURL(url);
    for (const char* grab : {"the first grab", "a second grab", "a third grab"}) {
        SCOPED_TRACE(grab);
        // Nothing saved yet: the grab fetches and saves its start page, and
        // that first save names the host.
        const std::optional<std::string> folder = window->DownloadFolderPath();
        ASSERT_TRUE(folder.has_value());
        for (const auto& entry : std::filesystem::directory_iterator(*folder))
            if (entry.path().extension() != ".log") std::filesystem::remove_all(entry.path());
        Click(*window, kStart);
        ASSERT_TRUE(window->IsCheckingStartURL() || window->IsCrawling());
        ASSERT_TRUE(RunEvents([&] { return !window->IsCheckingStartURL() && !window->IsCrawling(); }));
        EXPECT_EQ(window->GetTitle(), titled);
    }
    Click(*window, kCancel);
    DeleteScheduledObjects();
}

// The start page's redirections are followed before the crawl; the start
// and finish notifications the crawl asks for are only noted (the crawl
// sends its mails itself).
TEST_F(Grabber, TheStartURLIsFollowedAndNotificationsAreNoted)
{
    HttpPeer peer({
        {.path = "/old/", .status = 301, .redirect = "/new/"},
        {.path = "/new/", .body = Page("new")},
    });
    CConfiguration configuration = MakeConfiguration();
    configuration.mMiscOptions.generateEmail = 1;
    configuration.mMiscOptions.mailTo = "someone@example.com";
    configuration.mMiscOptions.replyTo = "grabber@example.com";
    configuration.mMiscOptions.mailServer = "127.0.0.1";
    ASSERT_EQ(CreateConfigurationFile("Mailing", configuration).Code(), 0);
    CGrabber* window = StartGrab("Mailing", peer.Url("/old/"));
    ASSERT_TRUE(RunUntilDone(*window));
    EXPECT_EQ(Text(*window, kURL), peer.Url("/new/"));
    EXPECT_NE(LogPane(*window).find("Note: The starting URL was redirected."), std::string::npos);
    EXPECT_EQ(window->NotificationRequests(), 2);
}

// The configuration's login belongs to the site the user named: when the
// start URL leads to another site, neither the rest of the check nor the
// crawl sends it there.
TEST_F(Grabber, ALoginStaysWithTheNamedSiteWhenTheStartURLLeavesIt)
{
    HttpPeer other({{.path = "/landing.html", .body = Page("landing")}}, {.host = "127.0.0.2"});
    HttpPeer named({{.path = "/", .status = 302, .redirect = other.Url("/landing.html")}});
    CConfiguration configuration = MakeConfiguration();
    configuration.mGeneralOptions.name = "user";  // the check's login
    configuration.mGeneralOptions.password = "secret";
    configuration.mSiteLogin.siteUsername = "user";  // the crawl's login for its start host
    configuration.mSiteLogin.sitePassword = "secret";
    ASSERT_EQ(CreateConfigurationFile("Login", configuration).Code(), 0);

    CGrabber* window = StartGrab("Login", named.Url("/"));
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(RunUntilDone(*window));
    delete window;
    ASSERT_FALSE(named.Requests().empty());
    EXPECT_TRUE(named.Requests().back().Header("Authorization").has_value());
    ASSERT_TRUE(Requested(other, "/landing.html"));
    for (const auto& request : other.Requests())
        EXPECT_FALSE(request.Header("Authorization").has_value()) << request.target;
}

TEST_F(Grabber, ASiteMapWhileGrabbingThenClosingAsksAndWaitsForTheCrawlBeforeClosingTheLog)
{
    HttpPeer peer({
        {.path = "/", .body = Page("<a href=\"/a.html\">a</a>")},
        {.path = "/a.html", .body = Page("a"), .stallSeconds = 30},
    });
    MakeConfigurationFile("Logged", true);
    CGrabber* window = StartGrab("Logged", peer.Url("/"));
    ASSERT_TRUE(RunEvents([&] { return Requested(peer, "/a.html"); }));
    const std::string logPath = window->LogFilePath();
    // Before the end, 'SMAP' writes the site map so far and opens it.
    ASSERT_TRUE(RunEvents([&] { return IsEnabled(*window, kSiteMap); }));
    Click(*window, kSiteMap);
    ASSERT_EQ(mSpawned.size(), 1u);
    EXPECT_TRUE(mSpawned[0].back().ends_with(".sitemap.html")) << mSpawned[0].back();
    EXPECT_TRUE(std::filesystem::is_regular_file(mSpawned[0].back()));

    CScriptedAnswers::Push(kMsgCancel);
    EXPECT_FALSE(window->AttemptClose());
    EXPECT_TRUE(window->IsCrawling());
    CScriptedAnswers::Push(kMsgOK);
    EXPECT_TRUE(window->AttemptClose());
    DeleteScheduledObjects();  // the destructor waits for the crawl
    EXPECT_TRUE(CWindow::WindowsOfClass<CGrabber>().empty());
    const std::string log = crawltest::FileText(logPath);
    const std::size_t closing = log.rfind("Tidewell stopping logging at ");
    ASSERT_NE(closing, std::string::npos) << log;
    EXPECT_EQ(log.find('\n', closing), log.size() - 1) << "the crawl wrote nothing after the log was closed";
}

TEST_F(Grabber, WithoutACrawlPauseResumeAndStopDoNothing)
{
    CGrabber* window = Open();
    window->PauseGrab();
    window->ResumeGrab();
    window->StopGrab();
    EXPECT_EQ(window->GetState(), kWindowNeverStarted);
    EXPECT_EQ(LogPane(*window), "");
    EXPECT_EQ(Text(*window, kStart), "Start");

    // An empty URL is refused in the log pane; the window stays usable.
    Click(*window, kStart);
    EXPECT_EQ(LogPane(*window), "The starting URL is empty!\n");
    EXPECT_EQ(window->GetState(), kWindowNeverStarted);
    EXPECT_TRUE(IsEnabled(*window, kMenu));
    EXPECT_TRUE(IsEnabled(*window, kURL));
}

// A chosen configuration that cannot be read starts nothing: grabbing with
// the built-in settings instead would mirror elsewhere and by other rules.
TEST_F(Grabber, AChosenConfigurationThatCannotBeReadStartsNothing)
{
    HttpPeer peer({{.path = "/", .body = Page("home")}});
    for (const SSpoiledConfiguration& c : SpoiledConfigurations()) {
        if (*c.reason == '\0') continue;
        SCOPED_TRACE(c.name);
        MakeConfigurationFile(c.name, false);
        CGrabber* window = Open();
        Choose(*window, c.name);
        c.spoil(ConfigurationsFolder() + "/" + c.name);
        window->SetStartURL(peer.Url("/"));
        Click(*window, kStart);
        ASSERT_TRUE(RunEvents([&] { return !window->IsCheckingStartURL() && !window->IsCrawling(); }));
        EXPECT_EQ(LogPane(*window),
                  std::string("The configuration could not be read: ") + c.name + " (" + c.reason + ")\n");
        EXPECT_EQ(window->GetState(), kWindowNeverStarted);
        EXPECT_TRUE(IsEnabled(*window, kMenu));
        EXPECT_TRUE(IsEnabled(*window, kURL));
        EXPECT_TRUE(peer.Requests().empty());
        delete window;
    }
}

// Show Folder after a grab whose configuration can no longer be read tells
// so and opens nothing: the built-in folder would show another mirror.
TEST_F(Grabber, ShowFolderOrSearchOfAConfigurationThatCannotBeReadOpensNothing)
{
    HttpPeer peer({{.path = "/", .body = Page("home")}});
    const struct {
        const char* name;
        PaneIDT button;
    } buttons[] = {{"Show Folder", kDown}, {"Search", kSearch}};
    for (const auto& b : buttons) {
        for (const SSpoiledConfiguration& c : SpoiledConfigurations()) {
            SCOPED_TRACE(std::string(b.name) + ", " + c.name);
            MakeConfigurationFile(c.name, false);
            CGrabber* window = StartGrab(c.name, peer.Url("/"));
            ASSERT_TRUE(RunUntilDone(*window));
            ASSERT_TRUE(IsEnabled(*window, kDown));
            const std::string logBefore = LogPane(*window);
            c.spoil(ConfigurationsFolder() + "/" + c.name);

            std::vector<std::string> opened;
            SetProgramSpawner([&](const std::vector<std::string>& argv) {
                opened.push_back(argv.back());
                return 0;
            });
            Searched().clear();
            Click(*window, b.button);
            SetProgramSpawner(nullptr);
            const std::vector<std::string>& asked = b.button == kDown ? opened : Searched();
            if (*c.reason == '\0') {
                EXPECT_EQ(asked, std::vector<std::string>{MakeConfiguration().mGeneralOptions.localPath.c_str()});
                EXPECT_EQ(LogPane(*window), logBefore);
            } else {
                EXPECT_TRUE(opened.empty());
                EXPECT_TRUE(Searched().empty());
                EXPECT_EQ(LogPane(*window), logBefore + "The configuration could not be read: " + c.name + " (" +
                                                c.reason + ")\n");
                if (b.button == kDown) Screenshot(*window, std::string("grabber_show_folder_") + c.name);
            }
            delete window;
            std::filesystem::remove_all(ConfigurationsFolder() + "/" + c.name);  // made again for the next button
        }
    }
}

// A log the configuration asks for but that cannot be opened is told in the
// log pane; the grab goes on without it.
TEST_F(Grabber, ALogFileThatCannotBeOpenedIsTold)
{
    HttpPeer peer({{.path = "/", .body = Page("home")}});
    mRoot.Write("blocked", "a file where the log folder should be");
    const std::string hostLog = "127.0.0.1:" + std::to_string(peer.Port()) + ".log";
    mRoot.MakeFolder("logs/" + hostLog);
    const struct {
        std::string folder;
        const char* reason;
    } cases[] = {
        {mRoot.File("blocked") + "/logs", "Not a directory"},
        {mRoot.File("logs"), "Is a directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder);
        CConfiguration configuration = MakeConfiguration();
        configuration.mMiscOptions.generateLog = 1;
        configuration.mMiscOptions.logFolder = c.folder.c_str();
        std::filesystem::remove(ConfigurationsFolder() + "/Logged");
        ASSERT_EQ(CreateConfigurationFile("Logged", configuration).Code(), 0);
        CGrabber* window = StartGrab("Logged", peer.Url("/"));
        ASSERT_TRUE(RunUntilDone(*window));
        const std::string told =
            "The log file could not be opened: " + c.folder + "/" + hostLog + " (" + c.reason + ")\n";
        EXPECT_NE(LogPane(*window).find(told), std::string::npos) << LogPane(*window);
        EXPECT_NE(LogPane(*window).find("Total files grabbed: 1"), std::string::npos) << LogPane(*window);
        EXPECT_FALSE(window->IsLogOpen());
        delete window;
    }
}

// A log that fails while the grab writes it (its folder full) is told once,
// in the log pane, when the grab ends; the grab goes on without it.
TEST_F(Grabber, ALogFileThatCannotBeWrittenIsToldOnce)
{
    const std::string full = mRoot.MakeFolder("full");
    if (::mount("tidewell-test", full.c_str(), "tmpfs", 0, "size=4k") != 0)
        GTEST_SKIP() << "no tmpfs can be mounted here (" << std::strerror(errno) << ")";
    struct Unmount {
        std::string path;
        ~Unmount() { ::umount2(path.c_str(), MNT_DETACH); }
    } unmount{full};
    // The request's header, logged whole, does not fit beside the start line.
    HttpPeer peer({{.path = "/", .headers = {{"X-Filler", std::string(6000, 'x')}}, .body = Page("home")}});
    const std::string log = full + "/127.0.0.1:" + std::to_string(peer.Port()) + ".log";
    CConfiguration configuration = MakeConfiguration();
    configuration.mMiscOptions.generateLog = 1;
    configuration.mMiscOptions.logFolder = full.c_str();
    ASSERT_EQ(CreateConfigurationFile("Logged", configuration).Code(), 0);
    CGrabber* window = StartGrab("Logged", peer.Url("/"));
    ASSERT_TRUE(RunUntilDone(*window));
    const std::string pane = LogPane(*window);
    const std::string told = "The log file could not be written: " + log + " (No space left on device)\n";
    const std::size_t at = pane.find(told);
    EXPECT_NE(at, std::string::npos) << pane;
    EXPECT_EQ(pane.find(told, at + 1), std::string::npos) << "told twice";
    EXPECT_LT(pane.find("Total files grabbed: 1"), at) << pane;
    delete window;
}

TEST_F(Grabber, TheConfigurationsPopupFollowsTheConfigurationFiles)
{
    CRecordingApplication application;
    const auto items = [](CGrabber& window) {
        std::vector<std::string> texts;
        CPane* menu = window.FindPaneByID(kMenu);
        for (int item = 1; item <= menu->CountMenuItems(); ++item) texts.push_back(menu->GetMenuItemText(item));
        return texts;
    };
    CGrabber* window = Open(&application);
    EXPECT_EQ(items(*window), (std::vector<std::string>{"Default", kConfigurationsItem}));

    MakeConfigurationFile("Beta", false);
    MakeConfigurationFile("Alpha", false);
    CGrabber::NotifyConfigurationsChanged();
    EXPECT_EQ(items(*window), (std::vector<std::string>{"Default", "Alpha", "Beta", kConfigurationsItem}));
    Choose(*window, "Beta");
    MakeConfigurationFile("Aardvark", false);
    CGrabber::NotifyConfigurationsChanged();
    EXPECT_EQ(window->ChosenConfiguration(), "Beta") << "the choice survives a refill";

    // The last item asks the application for the configurations window.
    CPane* menu = window->FindPaneByID(kMenu);
    menu->SetValue(menu->CountMenuItems());
    ASSERT_EQ(application.commands.size(), 1u);
    EXPECT_EQ(application.commands[0], kCmdConfigurations);
    EXPECT_EQ(window->ChosenConfiguration(), "Beta");
    delete window;
}

TEST_F(Grabber, AnIdleWindowsClockCostsAlmostNoProcessorTime)
{
    CGrabber* window = Open();
    EXPECT_EQ(Text(*window, kTime), "") << "nothing until the next second begins";
    const auto cpuNow = [] {
        timespec now{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
        return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
    };
    const auto cpuBefore = cpuNow();
    const auto wallBefore = std::chrono::steady_clock::now();
    RunEvents([] { return false; }, 3s);
    const double cpu = std::chrono::duration<double>(cpuNow() - cpuBefore).count();
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count();
    EXPECT_NE(Text(*window, kTime).find(':'), std::string::npos) << Text(*window, kTime);
    // A clock that spins takes a whole core; sleeping between seconds takes
    // a few percent at most, also under the sanitizers on a busy machine.
    EXPECT_LT(cpu / wall, 0.25) << cpu << " s of processor time in " << wall << " s";
    delete window;  // stops the clock first
}

// The print command prints the whole log, every line in order over as many
// pages as it takes; a cancelled print dialog prints nothing.
TEST_F(Grabber, PrintsTheLogPane)
{
    std::vector<std::string> lines;
    for (int i = 0; i < 150; ++i) lines.push_back("Logged line number " + std::to_string(1000 + i));
    for (const bool cancelled : {true, false}) {
        SCOPED_TRACE(cancelled);
        const CPrintToPdf printer(Root() + "/log.pdf", cancelled);
        CGrabber* window = Open();
        for (const std::string& line : lines) window->LogLine(line);
        EXPECT_TRUE(window->FindCommandStatus(kCmdPrint).enabled);
        EXPECT_TRUE(window->ProcessCommand(kCmdPrint));
        EXPECT_EQ(printer.Pages().empty(), cancelled);
        if (!cancelled) {
            EXPECT_GT(printer.Pages().size(), 1U);
            const std::string all = printer.AllText();
            std::size_t at = 0;
            for (const std::string& line : lines) {
                at = all.find(line, at);
                ASSERT_NE(at, std::string::npos) << line;
            }
        }
        delete window;
    }
}

}  // namespace
