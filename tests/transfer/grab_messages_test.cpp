// The crawl's main GET through a grab thread and its download thread: the
// messages they exchange, how a transfer ends, Skip, pause, and one download
// at a time.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "engine/transfer/download_busy_flag.h"
#include "engine/transfer/download_thread.h"
#include "engine/transfer/transfer_messages.h"
#include "engine/url/url_record.h"
#include "foundation/threads/thread_scheduler.h"
#include "tests/support/http_peer.h"
#include "tests/threads/lambda_thread.h"
#include "tests/transfer/transfer_test_support.h"

namespace {

using namespace transfertest;
using namespace std::chrono_literals;
using testsupport::HttpPeer;
using testsupport::HttpRoute;
using testsupport::HttpTrickle;
using Clock = std::chrono::steady_clock;

class GrabMessages : public testing::Test {
protected:
    void TearDown() override
    {
        EXPECT_TRUE(DrainThreads());
        EXPECT_FALSE(IsDownloadBusy());
    }

    // CURL::Grab's GET with a grab thread that writes down what it hears.
    std::uint8_t Grab(CURL& url, std::vector<SHeardMessage>& heard,
                      const std::function<void(CRecordingGrabThread&, MessageT)>& after = {})
    {
        url.mGrabOwner = &grabber;
        url.mListener = &grabber;
        auto* thread = new CRecordingGrabThread(url, heard);
        thread->afterMessage = after;
        url.WaitForGrab(thread);
        return url.mFetchedOK;
    }

    std::vector<std::string> CodesWithoutTime(const std::vector<SHeardMessage>& heard)
    {
        std::vector<std::string> codes;
        for (const SHeardMessage& message : heard)
            if (message.code != kMsgElapsedTime) codes.push_back(CodeText(message.code));
        return codes;
    }

    CRecordingGrabber grabber;
};

TEST_F(GrabMessages, ACompleteTransferTellsItsStoryInTheTableOrder)
{
    HttpPeer peer({{.path = "/docs/page.html", .body = "<html>hello</html>"}});
    CURL url(peer.Url("/docs/page.html"));
    std::vector<SHeardMessage> heard;
    ASSERT_TRUE(RunOnThread([&] { EXPECT_EQ(Grab(url, heard), 1); }));

    const std::vector<std::string> codes = CodesWithoutTime(heard);
    const std::vector<std::string> opening = {"Mesg", "Init", "Mesg", "Mesg", "Mesg", "PHdr", "Chng"};
    ASSERT_GE(codes.size(), opening.size() + 2);
    EXPECT_EQ(std::vector<std::string>(codes.begin(), codes.begin() + opening.size()), opening);
    EXPECT_EQ(heard.front().text, "Download initiated...");
    EXPECT_TRUE(Heard(heard, kMsgStatusText, "Data available..."));
    EXPECT_TRUE(Heard(heard, kMsgResponseHeader, "HTTP/1.1 200 OK"));
    EXPECT_TRUE(Heard(heard, kMsgResourceInfo, "page.html"));
    EXPECT_TRUE(Heard(heard, kMsgDataAvailable, "0/18/page.html"));
    EXPECT_TRUE(Heard(heard, kMsgStatusText, "Downloading data...( 18 of 18 bytes. )"));
    EXPECT_TRUE(Heard(heard, kMsgStatusText, "Download completed..."));
    EXPECT_EQ(codes.back(), "Cmpl");
    EXPECT_FALSE(Heard(heard, kMsgDownloadAborted));

    std::string body;
    ASSERT_TRUE(url.mBody.CopyTo(body));
    EXPECT_EQ(body, "<html>hello</html>");
    EXPECT_EQ(url.mStatusCode, 200);
    EXPECT_EQ(url.mStatusLine.str(), "HTTP/1.1 200 OK");
    EXPECT_EQ(url.mContentType, "text/html");
    EXPECT_TRUE(url.mRawHeader.View().starts_with("HTTP/1.1 200 OK\r\n"));
    EXPECT_EQ(url.mFetchFinished, 1);

    EXPECT_EQ(grabber.transferStatuses.front(), "Download initiated...");
    EXPECT_EQ(grabber.statuses.back(), "Processing response");
    EXPECT_EQ(grabber.transfersBegun, 1);
    ASSERT_FALSE(grabber.transfers.empty());
    for (const auto& shown : grabber.transfers) {
        EXPECT_EQ(shown.name, "page.html");
        EXPECT_EQ(shown.size, 18u);
    }
    ASSERT_FALSE(grabber.skippableChanges.empty());
    EXPECT_TRUE(grabber.skippableChanges.front());
    EXPECT_FALSE(grabber.skippableChanges.back());
}

TEST_F(GrabMessages, ProgressCountsTheBytesForwardOnly)
{
    HttpPeer peer({{.path = "/slow.bin", .body = std::string(40, 'x'), .trickle = HttpTrickle{10, 0.05}}});
    CURL url(peer.Url("/slow.bin"));
    std::vector<SHeardMessage> heard;
    ASSERT_TRUE(RunOnThread([&] { EXPECT_EQ(Grab(url, heard), 1); }));

    EXPECT_TRUE(Heard(heard, kMsgProgress, "40/40/slow.bin"));
    ASSERT_FALSE(grabber.transfers.empty());
    std::vector<std::uint64_t> received;
    for (const auto& shown : grabber.transfers) received.push_back(shown.received);
    EXPECT_TRUE(std::is_sorted(received.begin(), received.end()));
    EXPECT_EQ(received.back(), 40u);
    EXPECT_EQ(grabber.transfers.back().size, 40u);
}

// However a transfer fails after its header, it ends as aborted: a partial
// body is never taken for a fetched one.
TEST_F(GrabMessages, ATransferThatCannotFinishEndsAsAborted)
{
    struct Case {
        const char* name;
        HttpRoute route;
        bool reachable;
        std::int32_t error;  // 0: no network error expected
        bool aborted;        // kMsgAbortStarted expected
    };
    const std::vector<Case> cases = {
        {"cut off", {.path = "/x", .body = std::string(100, 'a'), .closeMidBody = 5}, true, kDownloadErrorTruncated,
         false},
        {"stalled after its header", {.path = "/x", .body = "late", .stallSeconds = 20}, true, 0, true},
        {"refused", {.path = "/x"}, false, kDownloadErrorFailed, false},
    };
    grabber.ownConfiguration.mGeneralOptions.timeout = 1;
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        HttpPeer peer({test.route});
        CURL url(test.reachable ? peer.Url("/x") : "http://127.0.0.1:1/x");
        std::vector<SHeardMessage> heard;
        const auto start = Clock::now();
        ASSERT_TRUE(RunOnThread([&] { EXPECT_EQ(Grab(url, heard), 0); }));
        EXPECT_LT(SecondsSince(start), 10.0);
        ASSERT_FALSE(heard.empty());
        EXPECT_EQ(heard.back().code, kMsgDownloadAborted);
        EXPECT_FALSE(Heard(heard, kMsgDownloadComplete));
        EXPECT_EQ(Heard(heard, kMsgAbortStarted), test.aborted);
        if (test.error != 0) {
            EXPECT_TRUE(Heard(heard, kMsgNetworkError, std::to_string(test.error)));
        }
        EXPECT_EQ(url.mFetchedOK, 0);
        EXPECT_EQ(url.mFetchFinished, 1);
    }
}

TEST_F(GrabMessages, AnErrorStatusIsAFetchedAnswer)
{
    HttpPeer peer({{.path = "/gone", .status = 404, .body = "no such page"}});
    CURL url(peer.Url("/gone"));
    std::vector<SHeardMessage> heard;
    ASSERT_TRUE(RunOnThread([&] { EXPECT_EQ(Grab(url, heard), 1); }));
    EXPECT_EQ(heard.back().code, kMsgDownloadComplete);
    EXPECT_EQ(url.mStatusCode, 404);
}

// Skip comes from the window's button or from the crawl through the record.
TEST_F(GrabMessages, SkipAbortsATricklingTransferPromptly)
{
    struct Case {
        const char* name;
        bool fromRecord;
    };
    for (const Case& test : {Case{"button", false}, Case{"record", true}}) {
        SCOPED_TRACE(test.name);
        HttpPeer peer({{.path = "/long", .body = std::string(200, 'z'), .trickle = HttpTrickle{1, 0.05}}});
        CURL url(peer.Url("/long"));
        std::vector<SHeardMessage> heard;
        grabber.statuses.clear();
        bool skipped = false;
        const auto start = Clock::now();
        ASSERT_TRUE(RunOnThread([&] {
            EXPECT_EQ(Grab(url, heard,
                           [&](CRecordingGrabThread&, MessageT message) {
                               if (message != kMsgProgress || skipped) return;
                               skipped = true;
                               if (test.fromRecord) url.BroadcastMessage(kMsgSkip);
                               else grabber.skipButton.BroadcastMessage(kMsgSkip);
                           }),
                      0);
        }));
        EXPECT_TRUE(skipped);
        EXPECT_LT(SecondsSince(start), 7.0);  // the whole trickle takes 10 s
        EXPECT_TRUE(Heard(heard, kMsgAbortStarted));
        EXPECT_FALSE(Heard(heard, kMsgDownloadComplete));
        EXPECT_EQ(url.mFetchedOK, 0);
        EXPECT_TRUE(grabber.ShowedStatus("Skipping"));
        EXPECT_FALSE(grabber.skippableChanges.back());
    }
}

// A paused transfer reads nothing and never counts as stalled, however long
// the pause lasts.
TEST_F(GrabMessages, PauseAndResumeOutlastTheStallTimeOut)
{
    HttpPeer peer({{.path = "/paused", .body = std::string(30, 'p'), .trickle = HttpTrickle{1, 0.02}}});
    grabber.ownConfiguration.mGeneralOptions.timeout = 1;
    CURL url(peer.Url("/paused"));
    std::vector<SHeardMessage> heard;
    CDownloadThread* download = nullptr;
    std::unique_ptr<CLambdaThread> resumer;
    std::size_t heardAtPause = 0;
    std::size_t heardAtResume = 0;
    Clock::time_point pausedAt;
    ASSERT_TRUE(RunOnThread([&] {
        EXPECT_EQ(Grab(url, heard,
                       [&](CRecordingGrabThread& thread, MessageT message) {
                           if (message != kMsgProgress || resumer) return;
                           download = thread.GetDownloadThread();
                           download->ListenToMessage(kMsgPause, nullptr);
                           pausedAt = Clock::now();
                           heardAtPause = heard.size();
                           resumer = std::make_unique<CLambdaThread>([&](CLambdaThread& self) {
                               self.Sleep(2500ms);
                               heardAtResume = heard.size();
                               download->ListenToMessage(kMsgPause, nullptr);
                           });
                           resumer->Resume();
                       }),
                  1);
    }));
    EXPECT_TRUE(Heard(heard, kMsgPause));
    EXPECT_TRUE(Heard(heard, kMsgResumed));
    EXPECT_FALSE(Heard(heard, kMsgAbortStarted));
    EXPECT_GE(SecondsSince(pausedAt), 2.4);
    // While paused, at most what was already read comes through.
    int progressWhilePaused = 0;
    for (std::size_t i = heardAtPause; i < heardAtResume; ++i)
        if (heard[i].code == kMsgProgress) ++progressWhilePaused;
    EXPECT_LE(progressWhilePaused, 1);
    std::string body;
    ASSERT_TRUE(url.mBody.CopyTo(body));
    EXPECT_EQ(body, std::string(30, 'p'));
}

// Two grabs at once: the second download opens only once the first one's
// thread is gone.
TEST_F(GrabMessages, OneDownloadAtATime)
{
    HttpPeer peer({{.path = "/first", .body = std::string(20, '1'), .trickle = HttpTrickle{2, 0.05}},
                   {.path = "/second", .body = "2"}});
    CRecordingGrabber secondGrabber;
    CURL first(peer.Url("/first"));
    CURL second(peer.Url("/second"));
    std::vector<SHeardMessage> firstHeard;
    std::vector<SHeardMessage> secondHeard;
    std::vector<std::string> events;
    auto note = [&events](const char* who) {
        return [&events, who](CRecordingGrabThread&, MessageT message) {
            if (message == kMsgDownloadStarted || message == kMsgDownloadComplete)
                events.push_back(std::string(who) + " " + CodeText(message));
        };
    };
    CLambdaThread one([&](CLambdaThread&) {
        first.mGrabOwner = &grabber;
        first.mListener = &grabber;
        auto* thread = new CRecordingGrabThread(first, firstHeard);
        thread->afterMessage = note("first");
        first.WaitForGrab(thread);
    });
    CLambdaThread two([&](CLambdaThread&) {
        second.mGrabOwner = &secondGrabber;
        second.mListener = &secondGrabber;
        auto* thread = new CRecordingGrabThread(second, secondHeard);
        thread->afterMessage = note("second");
        second.WaitForGrab(thread);
    });
    one.Resume();
    two.Resume();
    ASSERT_TRUE(CThreadScheduler::RunUntil([&] { return one.IsFinished() && two.IsFinished(); },
                                           Clock::now() + 20s));
    EXPECT_EQ(events, (std::vector<std::string>{"first Init", "first Cmpl", "second Init", "second Cmpl"}));
    EXPECT_EQ(first.mFetchedOK, 1);
    EXPECT_EQ(second.mFetchedOK, 1);
}

// A thread stopped while it waits for the flag leaves it to its holder, and
// the next waiter still gets it.
TEST_F(GrabMessages, OnlyTheHolderClearsTheBusyFlag)
{
    int holder = 0;
    int quitter = 0;
    int patient = 0;
    CWakeToken release;
    bool patientGotIt = false;
    bool quitterGotIt = false;
    CLambdaThread holding([&](CLambdaThread&) {
        TakeDownloadBusyFlag(&holder);
        release.Wait();
        ReleaseDownloadBusyFlag(&holder);
    });
    CLambdaThread quitting([&](CLambdaThread&) {
        TakeDownloadBusyFlag(&quitter);
        quitterGotIt = true;
    });
    CLambdaThread waiting([&](CLambdaThread&) {
        TakeDownloadBusyFlag(&patient);
        patientGotIt = true;
        ReleaseDownloadBusyFlag(&patient);
    });
    holding.Resume();
    CThreadScheduler::RunUntilIdle();
    quitting.Resume();
    waiting.Resume();
    CThreadScheduler::RunUntilIdle();
    ASSERT_TRUE(IsDownloadBusy());

    quitting.RequestStop();
    quitting.Wake();
    ASSERT_TRUE(CThreadScheduler::RunUntil([&] { return quitting.IsFinished(); }, Clock::now() + 5s));
    EXPECT_FALSE(quitterGotIt);
    ReleaseDownloadBusyFlag(&quitter);  // not the holder: no effect
    EXPECT_TRUE(IsDownloadBusy());
    CThreadScheduler::RunUntilIdle();
    EXPECT_FALSE(patientGotIt);

    release.Signal();
    ASSERT_TRUE(CThreadScheduler::RunUntil([&] { return waiting.IsFinished() && holding.IsFinished(); },
                                           Clock::now() + 5s));
    EXPECT_TRUE(patientGotIt);
    EXPECT_FALSE(IsDownloadBusy());
}

}  // namespace
