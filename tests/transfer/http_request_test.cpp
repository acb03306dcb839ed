// The HTTP client: what its requests look like, its inactivity time-out,
// cancelling, stop requests, progress reports and redirects followed on the
// settings' word.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/transfer/http_request.h"
#include "engine/url/url_record.h"
#include "foundation/settings/app_settings.h"
#include "foundation/threads/thread_scheduler.h"
#include "tests/settings/settings_test_environment.h"
#include "tests/support/http_peer.h"
#include "tests/threads/lambda_thread.h"
#include "tests/transfer/transfer_test_support.h"

namespace {

using namespace transfertest;
using namespace std::chrono_literals;
using testsupport::HttpPeer;
using testsupport::HttpRealm;
using testsupport::HttpTrickle;
using Clock = std::chrono::steady_clock;

class HttpClient : public testing::Test {
protected:
    void TearDown() override { EXPECT_TRUE(DrainThreads()); }
};

// A form body goes out as a form; a plain GET announces no body type.
TEST_F(HttpClient, OnlyAPostCarriesTheFormContentType)
{
    HttpPeer peer({{.method = "*", .path = "/form", .body = "ok"}});
    struct Case {
        const char* name;
        std::function<std::uint8_t(CURL&)> fetch;
        const char* method;
        const char* body;
    };
    const std::vector<Case> cases = {
        {"GET", [](CURL& url) { return url.Fetch("TransferTest/1.0", "", "", 5); }, "GET", ""},
        {"record with a form body", [](CURL& url) {
             url.mPostBody.Assign("a=1&b=two");
             return url.Fetch("TransferTest/1.0", "", "", 5);
         }, "POST", "a=1&b=two"},
        {"Post", [](CURL& url) { return url.Post("TransferTest/1.0", "", "", CTextBuffer("q=x+y")); }, "POST",
         "q=x+y"},
        {"Grab with a form body", [](CURL& url) {
             url.mPostBody.Assign("g=1");
             CRecordingGrabber grabber;
             return url.Grab(&grabber, &grabber, "TransferTest/1.0", "", "");
         }, "POST", "g=1"},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        CURL url(peer.Url("/form"));
        ASSERT_TRUE(RunOnThread([&] { EXPECT_EQ(test.fetch(url), 1); }));
        const auto request = peer.Requests().back();
        EXPECT_EQ(request.method, test.method);
        EXPECT_EQ(request.body, test.body);
        EXPECT_EQ(request.Header("User-Agent").value_or(""), "TransferTest/1.0");
        if (std::string(test.method) == "POST")
            EXPECT_EQ(request.Header("Content-Type").value_or(""), "application/x-www-form-urlencoded");
        else
            EXPECT_FALSE(request.Header("Content-Type"));
    }
}

TEST_F(HttpClient, EntitiesInTheURLAreDecodedForEveryMethod)
{
    HttpPeer peer({{.path = "/q", .query = "a=1&b=2", .body = "decoded"}});
    const std::string url = peer.Url("/q?a=1&amp;b=2");
    for (const char* method : {"GET", "HEAD", "POST"}) {
        SCOPED_TRACE(method);
        HTTPRequest request(5, false);
        if (std::string(method) == "GET") (void)request.StartGet(url, "", "", "");
        else if (std::string(method) == "HEAD") (void)request.StartHead(url, "", "", "");
        else (void)request.StartPost(url, "", "", "", "x=1");
        request.WaitUntilDone();
        const auto received = peer.Requests().back();
        EXPECT_EQ(received.method, method);
        EXPECT_EQ(received.target, "/q?a=1&b=2");
    }
}

// The time-out counts silence and rates below the floor, not the whole
// transfer; a body cut short is no success either.
TEST_F(HttpClient, InactivityEndsARequestButSlowDataDoesNot)
{
    HttpPeer peer({{.path = "/stall", .body = "late", .stallSeconds = 20},
                   {.path = "/slow", .body = std::string(800, 's'), .trickle = HttpTrickle{100, 0.3}},
                   {.path = "/dribble", .body = std::string(800, 'd'), .trickle = HttpTrickle{1, 0.1}},
                   {.path = "/cut", .body = std::string(50, 'c'), .closeMidBody = 10}});
    struct Case {
        const char* path;
        bool succeeds;
        double atMostSeconds;
    };
    // The bounds stay well under what a transfer that waited for the stall or
    // the dribble's end would take.
    for (const Case& test : {Case{"/stall", false, 10.0}, Case{"/slow", true, 15.0}, Case{"/dribble", false, 10.0},
                             Case{"/cut", false, 10.0}}) {
        SCOPED_TRACE(test.path);
        CURL url(peer.Url(test.path));
        const auto start = Clock::now();
        ASSERT_TRUE(RunOnThread([&] { EXPECT_EQ(url.Fetch("", "", "", 1), test.succeeds ? 1 : 0); }));
        EXPECT_LT(SecondsSince(start), test.atMostSeconds);
        EXPECT_EQ(url.mBody.Length(), test.succeeds ? 800u : 0u);
    }
}

TEST_F(HttpClient, DestroyingARunningRequestCancelsIt)
{
    HttpPeer peer({{.path = "/long", .body = std::string(400, 'l'), .trickle = HttpTrickle{1, 0.05}}});
    const auto start = Clock::now();
    {
        HTTPRequest request(30, false);
        ASSERT_EQ(request.StartGet(peer.Url("/long"), "", "", "").Code(), 0);
        std::this_thread::sleep_for(200ms);
        EXPECT_FALSE(request.mThreadDone);
    }
    EXPECT_LT(SecondsSince(start), 10.0);  // the whole trickle takes 20 s
}

// A stop request of the waiting thread cancels the request; the thread ends
// quietly once the request thread is gone.
TEST_F(HttpClient, AStopRequestEndsTheWait)
{
    HttpPeer peer({{.path = "/long", .body = std::string(400, 'l'), .trickle = HttpTrickle{1, 0.05}}});
    CURL url(peer.Url("/long"));
    bool returned = false;
    CLambdaThread fetcher([&](CLambdaThread&) {
        url.FetchWithAgent("", 30);
        returned = true;
    });
    fetcher.Resume();
    CThreadScheduler::RunUntil([] { return false; }, Clock::now() + 300ms);
    const auto start = Clock::now();
    fetcher.RequestStop();
    fetcher.Wake();
    ASSERT_TRUE(CThreadScheduler::RunUntil([&] { return fetcher.IsFinished(); }, Clock::now() + 5s));
    EXPECT_LT(SecondsSince(start), 10.0);  // the whole trickle takes 20 s
    EXPECT_FALSE(returned);
    EXPECT_EQ(url.mFetchedOK, 0);
}

std::size_t ThreadsOfThisProcess()
{
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& task : std::filesystem::directory_iterator("/proc/self/task")) ++count;
    return count;
}

// Requests run on the one transfer service, however many wait at once: no
// OS thread is made per request.
TEST_F(HttpClient, RequestsInFlightMakeNoThreadOfTheirOwn)
{
    HttpPeer peer({{.path = "/ok", .body = "fine"}, {.path = "/stall", .body = "late", .stallSeconds = 20}});
    for (std::size_t inFlight : {1u, 8u}) {
        SCOPED_TRACE(inFlight);
        HTTPRequest warmUp(5, true);  // the service, once made, stays
        (void)warmUp.StartGet(peer.Url("/ok"), "", "", "");
        ASSERT_TRUE(warmUp.Succeeded());
        const std::size_t before = ThreadsOfThisProcess();
        std::vector<std::unique_ptr<HTTPRequest>> requests;
        for (std::size_t i = 0; i < inFlight; ++i) {
            requests.push_back(std::make_unique<HTTPRequest>(30, false));
            ASSERT_EQ(requests.back()->StartGet(peer.Url("/stall"), "", "", "").Code(), 0);
        }
        // A thread per request would exist as soon as its request started.
        EXPECT_EQ(ThreadsOfThisProcess(), before);
        for (const auto& request : requests) EXPECT_FALSE(request->mThreadDone);
        requests.clear();  // cancelled and let go
        EXPECT_EQ(ThreadsOfThisProcess(), before);
    }
}

TEST_F(HttpClient, EachStartBeginsWithFreshFlags)
{
    HttpPeer peer({{.path = "/ok", .body = "fine"}, {.path = "/stall", .body = "late", .stallSeconds = 4}});
    HTTPRequest request(1, false);
    (void)request.StartGet(peer.Url("/ok"), "", "", "");
    request.WaitUntilDone();
    ASSERT_TRUE(request.Succeeded());
    EXPECT_EQ(*request.NewBodyPtr(), "fine");

    (void)request.StartGet(peer.Url("/stall"), "", "", "");
    EXPECT_FALSE(request.mThreadDone);
    request.WaitUntilDone();
    EXPECT_FALSE(request.Succeeded());
    EXPECT_EQ(request.NewBodyPtr(), nullptr);
    EXPECT_TRUE(request.ResponseHeader().empty());

    (void)request.StartGet("mailto:someone@example.com", "", "", "");
    EXPECT_TRUE(request.mThreadDone);
    EXPECT_FALSE(request.Succeeded());
}

class CRecordingQueue : public CTransferMessageQueue {
public:
    void QueueMessage(std::uint32_t type, const void* data, std::int32_t length) override
    {
        std::int32_t count = 0;
        ASSERT_EQ(length, static_cast<std::int32_t>(sizeof count));
        std::memcpy(&count, data, sizeof count);
        std::lock_guard lock(mutex);
        messages.emplace_back(type, count);
    }
    std::mutex mutex;
    std::vector<std::pair<std::uint32_t, std::int32_t>> messages;
};

TEST_F(HttpClient, ProgressReachesTheQueueAndTheQuickerGrabber)
{
    HttpPeer peer({{.path = "/data", .body = std::string(1200, 'd'), .trickle = HttpTrickle{400, 0.6}}});
    CRecordingQueue queue;
    {
        HTTPRequest request(&queue, 5, true);
        (void)request.StartGet(peer.Url("/data"), "", "", "");
        EXPECT_TRUE(request.Succeeded());
    }
    ASSERT_FALSE(queue.messages.empty());
    std::int32_t total = 0;
    for (std::size_t i = 0; i + 1 < queue.messages.size(); ++i) {
        EXPECT_EQ(queue.messages[i].first, CTransferMessageQueue::kBytesReceivedMessage);
        total += queue.messages[i].second;
    }
    EXPECT_EQ(total, 1200);
    EXPECT_EQ(queue.messages.back().second, -1);

    CRecordingQuickGrabber quicker;
    CURL url(peer.Url("/data"));
    ASSERT_TRUE(RunOnThread([&] { EXPECT_EQ(url.FetchWithProgress(&quicker, &quicker, "", "", "", 5), 1); }));
    const auto progress = quicker.Posted();
    ASSERT_GE(progress.size(), 2u);
    EXPECT_FALSE(progress.front().finished);
    EXPECT_EQ(progress.front().size, 1200u);
    EXPECT_TRUE(progress.back().finished);
    EXPECT_EQ(progress.back().received, 1200u);
}

// With the settings' auto-redirect switch on, both clients follow redirects
// themselves, and a login never follows them to another site.
class AutoRedirect : public SettingsEnvironment {
protected:
    void SetUp() override
    {
        SettingsEnvironment::SetUp();
        SetMailPasswordLookup(
            [](const char*, const char*, CFixedString255&) -> SystemStatus { return kSysKeychainItemNotFound; });
        mSettings = std::make_unique<CAppSettings>();
        mSettings->mAutoRedirect = true;
        mSettings->mUserAgent = "SettingsAgent/2.0";
        gAppSettings = mSettings.get();
    }
    void TearDown() override
    {
        EXPECT_TRUE(DrainThreads());
        gAppSettings = nullptr;
        mSettings.reset();
        SetMailPasswordLookup(nullptr);
        SettingsEnvironment::TearDown();
    }
    std::unique_ptr<CAppSettings> mSettings;
};

TEST_F(AutoRedirect, RedirectsAreFollowedAndLoginsStayHome)
{
    HttpPeer other({{.path = "/there", .body = "arrived"}});
    HttpPeer peer({{.path = "/here", .redirect = "/there"},
                   {.path = "/there", .body = "arrived", .realm = HttpRealm{"R", "ann", "pw"}},
                   {.path = "/away", .redirect = other.Url("/there")}});
    struct Case {
        const char* name;
        bool grab;
        const char* path;
        HttpPeer* finalPeer;
        bool loginAtTarget;
    };
    const std::vector<Case> cases = {
        {"client, same site", false, "/here", &peer, true},
        {"grab, same site", true, "/here", &peer, true},
        {"client, other site", false, "/away", &other, false},
        {"grab, other site", true, "/away", &other, false},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        CURL url(peer.Url(test.path));
        CRecordingGrabber grabber;
        ASSERT_TRUE(RunOnThread([&] {
            if (test.grab) EXPECT_EQ(url.Grab(&grabber, &grabber, "", "ann", "pw"), 1);
            else EXPECT_EQ(url.Fetch("", "ann", "pw", 5), 1);
        }));
        EXPECT_EQ(url.mStatusCode, 200);
        std::string body;
        ASSERT_TRUE(url.mBody.CopyTo(body));
        EXPECT_EQ(body, "arrived");
        const auto arrival = test.finalPeer->Requests().back();
        EXPECT_EQ(arrival.path, "/there");
        EXPECT_EQ(arrival.Header("Authorization").has_value(), test.loginAtTarget);
        // Without an agent of its own a download sends the settings' one.
        if (test.grab) {
            EXPECT_EQ(arrival.Header("User-Agent").value_or(""), "SettingsAgent/2.0");
        }
    }
}

}  // namespace
