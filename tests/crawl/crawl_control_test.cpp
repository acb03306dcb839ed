// Stopping, pausing and ending a crawl: a stop is honoured at every stage,
// the window always gets its thread pointer back and its arrows stopped,
// the quicker window's last message tells how the grab ended, and the mail
// timer never outlives the crawl.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <mutex>

#include "engine/crawl/site_iterator.h"
#include "engine/mail/send_mail_thread.h"
#include "foundation/threads/stop_all_threads.h"
#include "foundation/threads/thread.h"
#include "platform/posix/unique_fd.h"
#include "tests/crawl/crawl_test_support.h"
#include "tests/support/http_peer.h"
#include "tests/support/loopback_address.h"

namespace {

using namespace crawltest;
using namespace testsupport;
using namespace std::chrono_literals;

// A port on 127.0.0.1 that accepts connections (the kernel does) and never
// answers: a request to it waits until its time-out.
class SilentServer {
public:
    SilentServer() : mFd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0))
    {
        sockaddr_in address = LoopbackAddress();
        socklen_t length = sizeof address;
        EXPECT_EQ(::bind(mFd.Get(), reinterpret_cast<sockaddr*>(&address), length), 0);
        EXPECT_EQ(::listen(mFd.Get(), 8), 0);
        ::getsockname(mFd.Get(), reinterpret_cast<sockaddr*>(&address), &length);
        mPort = ntohs(address.sin_port);
    }
    std::string Url(const char* path) const { return "http://127.0.0.1:" + std::to_string(mPort) + path; }

private:
    CUniqueFd mFd;
    int mPort = 0;
};

std::string Page(const std::string& body) { return "<html><head><title>T</title></head><body>" + body + "</body></html>"; }

bool Requested(const HttpPeer& peer, const std::string& target)
{
    const auto requests = peer.Requests();
    return std::any_of(requests.begin(), requests.end(), [&](const auto& r) { return r.target == target; });
}

// The outcomes of the mails a crawl sends through the sender it is handed;
// it must outlive the sends (WaitForMailSending).
class MailOutcomes {
public:
    CCrawlCollaborators Collaborators()
    {
        CCrawlCollaborators collaborators = StandardCrawlCollaborators({});
        collaborators.sendMail = [this](const CMailInfo& mail) {
            StartSendMailThread(mail, [this](const CMailOutcome& outcome) {
                std::lock_guard lock(mMutex);
                mOutcomes.push_back(outcome);
            });
        };
        return collaborators;
    }
    std::vector<CMailOutcome> Outcomes() const
    {
        std::lock_guard lock(mMutex);
        return mOutcomes;
    }

private:
    mutable std::mutex mMutex;
    std::vector<CMailOutcome> mOutcomes;
};

class CrawlControl : public CrawlEnvironment {
protected:
    void SetUp() override
    {
        CrawlEnvironment::SetUp();
        SetPreference("Grab Offsite URLs", "false");
    }
};

TEST_F(CrawlControl, AStopBeforeTheThreadRunsEndsItWithoutARequest)
{
    HttpPeer peer({{.path = "/", .body = Page("start")}});
    CConfiguration configuration = MakeConfiguration();
    RecordingGrabber window(configuration);
    auto* thread = NewCrawlThread(window, configuration, peer.Url("/"));
    thread->StopCrawl(false);
    thread->Resume();
    ASSERT_TRUE(RunUntil([&] { return window.Ended(); }, 10s));
    EXPECT_TRUE(peer.Requests().empty());
    EXPECT_EQ(window.states, std::vector<ECrawlState>{ECrawlState::kDone});
    EXPECT_EQ(window.endings, 1);
    EXPECT_EQ(window.endedThread, thread);
    ASSERT_TRUE(window.outcome);
    EXPECT_FALSE(window.outcome->began);
}

TEST_F(CrawlControl, AStopDuringTheFirstRequestIsHonouredAtOnce)
{
    SilentServer server;
    CConfiguration configuration = MakeConfiguration();
    configuration.mGeneralOptions.timeout = 600;  // only the stop can end the wait below
    RecordingQuickGrabber window(configuration);
    auto* thread = NewCrawlThread(window, configuration, server.Url("/"));
    thread->Resume();
    RunUntil([] { return false; }, 300ms);
    ASSERT_FALSE(window.Ended());
    ASSERT_NE(thread->Driver(), nullptr) << "the driver exists while its first request waits";

    thread->StopCrawl(false);
    ASSERT_TRUE(RunUntil([&] { return window.Ended(); }, 120s));
    EXPECT_EQ(window.endings, 1);
    ASSERT_TRUE(window.outcome);
    EXPECT_TRUE(window.outcome->began);
    EXPECT_TRUE(window.outcome->stoppedByUser);
    EXPECT_TRUE(window.outcome->failure.empty()) << window.outcome->failure;
    EXPECT_EQ(window.states.back(), ECrawlState::kDone);
    // The crawl asks for its start URL only once, in the crawl itself: a stop
    // there ends it with its session's reports and no file of the site.
    for (const auto& [path, bytes] : ReadTree(Mirror())) EXPECT_TRUE(path.ends_with(".cookies.plist")) << path;
}

TEST_F(CrawlControl, AStopDuringATransferEndsTheCrawlWithItsSummary)
{
    HttpPeer peer({
        {.path = "/", .body = Page("<a href=\"/a.html\">a</a> <a href=\"/stall.html\">s</a> <a href=\"/c.html\">c</a>")},
        {.path = "/a.html", .body = Page("<a href=\"/deeper.html\">d</a>")},
        {.path = "/stall.html", .body = Page("late"), .stallSeconds = 600},
        {.path = "/c.html", .body = Page("c")},
        {.path = "/deeper.html", .body = Page("d")},
    });
    CConfiguration configuration = MakeConfiguration();
    configuration.mGeneralOptions.timeout = 600;  // only the stop can end the wait below
    configuration.mMiscOptions.errorLinks = 1;
    RecordingGrabber window(configuration);
    auto* thread = NewCrawlThread(window, configuration, peer.Url("/"));
    thread->Resume();
    ASSERT_TRUE(RunUntil([&] { return Requested(peer, "/stall.html"); }, 10s));
    RunUntil([] { return false; }, 100ms);

    thread->StopCrawl(false);
    ASSERT_TRUE(RunUntil([&] { return window.Ended(); }, 120s));

    EXPECT_FALSE(Requested(peer, "/c.html"));
    EXPECT_FALSE(Requested(peer, "/deeper.html"));
    const std::string host = "127.0.0.1/" + std::to_string(peer.Port()) + "/";
    const auto tree = ReadTree(Mirror());
    EXPECT_TRUE(tree.contains(host + "a.html"));
    EXPECT_FALSE(tree.contains(host + "stall.html"));
    // The aborted transfer is no error; links to pages never fetched stay
    // absolute.
    EXPECT_TRUE(window.Logged("Done"));
    EXPECT_EQ(std::to_string(window.progress.errors), "0");
    EXPECT_FALSE(std::filesystem::exists(Mirror() + "/127.0.0.1-" + std::to_string(peer.Port()) + ".errors.txt"));
    const std::string& start = tree.at(host + "Index.html");
    EXPECT_NE(start.find("<a href=\"a.html\">a</a>"), std::string::npos) << start;
    EXPECT_NE(start.find("<a href=\"" + peer.Url("/c.html") + "\">c</a>"), std::string::npos) << start;
    EXPECT_NE(start.find("<a href=\"" + peer.Url("/stall.html") + "\">s</a>"), std::string::npos) << start;
    EXPECT_NE(tree.at(host + "a.html").find(peer.Url("/deeper.html")), std::string::npos);
    EXPECT_EQ(window.levelsEnded, 1);
    EXPECT_TRUE(window.levelsStopped);
    EXPECT_EQ(window.states.back(), ECrawlState::kDone);
}

// A crawl stopped late corrects the links of every page it saved towards
// pages it never fetched: the program that hosts it runs between pages
// meanwhile, so its windows go on drawing and taking input.
TEST_F(CrawlControl, TheLinksCorrectedAfterAStopLetTheProgramRunBetweenPages)
{
    constexpr int kPages = 64;
    std::string start;
    std::vector<HttpRoute> routes;
    for (int i = 0; i < kPages; ++i) {
        const std::string page = "/p" + std::to_string(i) + ".html";
        const std::string target = "/t" + std::to_string(i) + ".html";
        start += "<a href=\"" + page + "\">p</a> ";
        routes.push_back({.path = page, .body = Page("<a href=\"" + target + "\">t</a>")});
        routes.push_back({.path = target, .body = Page("t"), .stallSeconds = i == 0 ? 600.0 : 0.0});
    }
    routes.push_back({.path = "/", .body = Page(start)});
    HttpPeer peer(routes);

    // Counts its turns once resumed.
    class CTurnCounter : public CThread {
    public:
        CTurnCounter() : CThread(EWhenFinished::kKeep) {}
        int turns = 0;
        bool quit = false;

    protected:
        void* Run() override
        {
            while (!quit) {
                ++turns;
                Yield();
            }
            return nullptr;
        }
    } counter;
    // The corrections after the stop run between its last "Relinking URLs"
    // and the cookies' saving.
    class CRelinkWatcher : public RecordingGrabber {
    public:
        CRelinkWatcher(CConfiguration& configuration, const CTurnCounter& counter)
            : RecordingGrabber(configuration), mCounter(counter)
        {
        }
        void CrawlStatus(const std::string& text) override
        {
            RecordingGrabber::CrawlStatus(text);
            if (!stopped) return;
            if (text == "Relinking URLs") {
                relinking = true;
                mTurnsBefore = mCounter.turns;
            } else if (relinking && text == "Saving this sessions cookies") {
                turnsWhileRelinking = mCounter.turns - mTurnsBefore;
            }
        }
        bool stopped = false;
        bool relinking = false;
        int turnsWhileRelinking = -1;

    private:
        const CTurnCounter& mCounter;
        int mTurnsBefore = 0;
    };
    CConfiguration configuration = MakeConfiguration();
    configuration.mGeneralOptions.timeout = 600;  // only the stop ends the stalled request
    CRelinkWatcher window(configuration, counter);
    auto* thread = NewCrawlThread(window, configuration, peer.Url("/"));
    thread->Resume();
    ASSERT_TRUE(RunUntil([&] { return Requested(peer, "/t0.html"); }, 20s));
    window.stopped = true;
    counter.Resume();
    thread->StopCrawl(false);
    ASSERT_TRUE(RunUntil([&] { return window.Ended(); }, 120s));
    counter.quit = true;
    ASSERT_TRUE(RunUntil([&] { return counter.IsFinished(); }, 10s));

    ASSERT_TRUE(window.relinking) << "no page needed its links corrected";
    // Every page saved links to a page never fetched; the program ran at
    // least once for every few of them.
    EXPECT_GE(window.turnsWhileRelinking, kPages / 16);
    const auto tree = ReadTree(Mirror());
    const std::string host = "127.0.0.1/" + std::to_string(peer.Port()) + "/";
    EXPECT_NE(tree.at(host + "p1.html").find(peer.Url("/t1.html")), std::string::npos);
}

TEST_F(CrawlControl, APausedCrawlMakesNoRequestUntilResumed)
{
    HttpPeer peer({
        {.path = "/", .body = Page("<a href=\"/a.html\">a</a> <a href=\"/b.html\">b</a>")},
        {.path = "/a.html", .body = Page("a"), .stallSeconds = 0.3},
        {.path = "/b.html", .body = Page("b")},
    });
    CConfiguration configuration = MakeConfiguration();
    RecordingGrabber window(configuration);
    auto* thread = NewCrawlThread(window, configuration, peer.Url("/"));
    thread->Resume();
    ASSERT_TRUE(RunUntil([&] { return Requested(peer, "/a.html"); }, 10s));
    thread->Suspend();
    RunUntil([] { return false; }, 700ms);
    EXPECT_FALSE(Requested(peer, "/b.html"));
    EXPECT_FALSE(window.Ended());
    thread->Resume();
    ASSERT_TRUE(RunUntil([&] { return window.Ended(); }, 10s));
    EXPECT_TRUE(Requested(peer, "/b.html"));
    EXPECT_EQ(ReadTree(Mirror()).size(), 4u);  // three pages and the cookie file
}

TEST_F(CrawlControl, AQuickGrabEndsWithItsMessageAndNoNotificationMail)
{
    HttpPeer peer({
        {.path = "/", .body = Page("<a href=\"/a.html\">a</a> <img src=\"/p.png\">")},
        {.path = "/a.html", .body = Page("a")},
        {.path = "/p.png", .headers = {{"Content-Type", "image/png"}}, .body = "png"},
    });
    CConfiguration configuration = MakeConfiguration();
    configuration.mMiscOptions.generateEmail = 1;
    RecordingQuickGrabber window(configuration);
    ASSERT_TRUE(RunQuickGrab(window, configuration, peer.Url("/")));
    // The clock counts whole seconds, so a short crawl that crosses a second
    // boundary reads "1 sec".
    ASSERT_TRUE(window.outcome);
    EXPECT_TRUE(window.outcome->began);
    EXPECT_FALSE(window.outcome->stoppedByUser);
    EXPECT_TRUE(window.outcome->failure.empty()) << window.outcome->failure;
    EXPECT_EQ(window.states, (std::vector<ECrawlState>{ECrawlState::kRunning, ECrawlState::kDone}));
    EXPECT_TRUE(window.notificationMails.empty());
    EXPECT_EQ(window.levelsEnded, 1);
    EXPECT_FALSE(window.levelsStopped);
    EXPECT_TRUE(window.ShowedStatus("Saving to disk"));
    // The quicker window's position caption: "2 of 2 (0 URLs on next level)".
    EXPECT_EQ(window.progress.index, 2);
    EXPECT_EQ(window.progress.levelSize, 2);
    EXPECT_EQ(window.progress.nextLevelSize, 0);
    EXPECT_LT(window.progress.level, window.progress.linkDepth - 1);
    EXPECT_NE(window.logFileText.find("The following URLs have been extracted from " + peer.Url("/")),
              std::string::npos);
    EXPECT_EQ(ReadTree(Mirror()).size(), 4u);
}

TEST_F(CrawlControl, OnePageGrabsThePageWithItsContentAndLinksTheRestOnline)
{
    HttpPeer peer({
        {.path = "/page.html", .body = Page("<a href=\"other.html\">other</a> <img src=\"pics/p.png\">")},
        {.path = "/other.html", .body = Page("other")},
        {.path = "/pics/p.png", .headers = {{"Content-Type", "image/png"}}, .body = "png"},
    });
    CConfiguration configuration = MakeConfiguration();
    RecordingQuickGrabber window(configuration);
    window.options.onePage = true;
    ASSERT_TRUE(RunQuickGrab(window, configuration, peer.Url("/page.html")));
    const std::string host = "127.0.0.1/" + std::to_string(peer.Port()) + "/";
    const auto tree = ReadTree(Mirror());
    EXPECT_FALSE(Requested(peer, "/other.html"));
    EXPECT_EQ(tree.at(host + "pics/p.png"), "png");
    const std::string& page = tree.at(host + "page.html");
    EXPECT_NE(page.find("<a href=\"" + peer.Url("/other.html") + "\">other</a>"), std::string::npos) << page;
    EXPECT_NE(page.find("<img src=\"pics/p.png\">"), std::string::npos) << page;
    EXPECT_EQ(window.firstFile, Mirror() + "/" + host + "page.html");
}

TEST_F(CrawlControl, TheProgressMailTimerGoesWithTheDriverEvenWhenTheCrawlIsCutShort)
{
    SetPreference("Mail Recipient", "owner@example.com");
    SetPreference("Mail Period", "1");
    MailOutcomes mails;
    HttpPeer peer({
        {.path = "/", .body = Page("<a href=\"/stall.html\">s</a>")},
        {.path = "/stall.html", .body = Page("late"), .stallSeconds = 600},
    });
    CConfiguration configuration = MakeConfiguration();
    configuration.mGeneralOptions.timeout = 30;
    const std::int32_t before = CThread::LiveThreads().Count();
    RecordingGrabber window(configuration);
    auto* thread = NewCrawlThread(window, configuration, peer.Url("/"), mails.Collaborators());
    thread->Resume();
    ASSERT_TRUE(RunUntil([&] { return Requested(peer, "/stall.html"); }, 10s));
    // The crawl thread and its timer thread, at least.
    EXPECT_GE(CThread::LiveThreads().Count(), before + 2);

    // Quitting stops every thread: the stop passes through the crawl as an
    // exception, and the timer must not outlive the driver.
    EXPECT_TRUE(StopAllThreads(10s));
    EXPECT_TRUE(window.Ended());
    EXPECT_EQ(CThread::LiveThreads().Count(), before);
    (void)WaitForMailSending(5s);
    EXPECT_TRUE(mails.Outcomes().empty()) << "no completion mail for a crawl cut short";
}

TEST_F(CrawlControl, AFinishedCrawlSendsItsCompletionMail)
{
    SetPreference("Mail Recipient", "owner@example.com");
    MailOutcomes mails;
    HttpPeer peer({{.path = "/", .body = Page("only")}});
    CConfiguration configuration = MakeConfiguration();
    RecordingGrabber window(configuration);
    const std::int32_t before = CThread::LiveThreads().Count();
    ASSERT_TRUE(RunGrab(window, configuration, peer.Url("/"), mails.Collaborators()));
    EXPECT_EQ(CThread::LiveThreads().Count(), before);
    EXPECT_TRUE(WaitForMailSending(10s));
    const std::vector<CMailOutcome> outcomes = mails.Outcomes();
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_EQ(outcomes[0].recipient, "owner@example.com");
}

}  // namespace
