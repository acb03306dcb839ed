// The shared transfer service: completion on its own thread, prompt cancel,
// pause, shutdown with transfers in flight, and requests chained from
// inside a completion.
#include <gtest/gtest.h>

#include <condition_variable>
#include <memory>
#include <mutex>

#include "chaining_sink.h"
#include "loopback_server.h"
#include "platform/net/transfer_service.h"
#include "test_support.h"

namespace {

using namespace nettest;
using namespace std::chrono_literals;
using net::TransferOutcome;
using net::TransferRequest;
using net::TransferService;
using Clock = std::chrono::steady_clock;

// Sends a header and two bytes, then one byte every 100 ms until the client
// goes away.
void Trickle(const ReceivedRequest&, PeerSocket& peer)
{
    peer.Send("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\nab");
    while (peer.Pause(100ms) && peer.Send("c")) {
    }
    peer.Close();
}

// Sends a header and two bytes, then nothing until the client goes away.
void Silence(const ReceivedRequest&, PeerSocket& peer)
{
    peer.Send("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\nab");
    peer.WaitForClientClose();
    peer.Close();
}

TEST(TransferService, FinishesOnTheServiceThread)
{
    LoopbackHttpServer server([](const ReceivedRequest&, PeerSocket& peer) { peer.Send(HttpResponse("200 OK", "done")); });
    TransferService service;
    RecordingSink sink;
    const net::TransferHandle handle = service.Submit(Get(server, "/"), sink);
    EXPECT_NE(handle, 0u);
    ASSERT_TRUE(sink.WaitFinished(5s));
    EXPECT_TRUE(sink.result->Fetched()) << sink.result->errorText;
    EXPECT_EQ(sink.body, "done");
    EXPECT_NE(sink.finishThread, std::this_thread::get_id());
    EXPECT_EQ(sink.finishCalls, 1);
    service.Cancel(handle);  // already finished: ignored
    service.Pause(handle, true);
    service.Cancel(987654);  // never existed
}

TEST(TransferService, ReportsARefusedRequestThroughTheSink)
{
    TransferService service;
    RecordingSink sink;
    TransferRequest request;
    request.url = "file:///etc/hostname";
    service.Submit(request, sink);
    ASSERT_TRUE(sink.WaitFinished(5s));
    EXPECT_EQ(sink.result->outcome, TransferOutcome::kFailed);
    EXPECT_TRUE(sink.body.empty());
    EXPECT_NE(sink.finishThread, std::this_thread::get_id());
}

TEST(TransferService, CancelEndsATransferPromptly)
{
    struct Case {
        const char* name;
        LoopbackHttpServer::Responder responder;
    };
    const Case cases[] = {{"trickling", Trickle}, {"silent", Silence}};
    for (const Case& c : cases) {
        LoopbackHttpServer server(c.responder);
        TransferService service;
        RecordingSink sink;
        const net::TransferHandle handle = service.Submit(Get(server, "/slow"), sink);
        ASSERT_TRUE(sink.WaitBody(2, 5s)) << c.name;
        // Left alone, both answers last for ever: only the cancel ends them.
        service.Cancel(handle);
        ASSERT_TRUE(sink.WaitFinished(120s)) << c.name;
        EXPECT_EQ(sink.result->outcome, TransferOutcome::kAborted) << c.name;
        EXPECT_EQ(sink.result->statusCode, 200) << c.name;
        EXPECT_FALSE(sink.result->Fetched()) << c.name;
    }
}

TEST(TransferService, APausedTransferNeitherReadsNorStalls)
{
    LoopbackHttpServer server([](const ReceivedRequest&, PeerSocket& peer) {
        peer.Send("HTTP/1.1 200 OK\r\nContent-Length: 8\r\n\r\nfirst");
        if (peer.Pause(300ms)) peer.Send("end");
    });
    TransferService service;
    RecordingSink sink;
    TransferRequest request = Get(server, "/paused");
    request.stallTimeoutSeconds = 1;
    net::TransferHandle handle = 0;
    std::atomic<bool> pausedOnce{false};
    std::mutex handleMutex;
    std::unique_lock<std::mutex> holdHandle(handleMutex);
    sink.afterBody = [&] {
        if (pausedOnce.exchange(true)) return;
        std::lock_guard<std::mutex> lock(handleMutex);
        service.Pause(handle, true);
    };
    handle = service.Submit(request, sink);
    holdHandle.unlock();

    std::this_thread::sleep_for(2200ms);  // twice the stall time-out, the rest long sent
    EXPECT_FALSE(sink.WaitFinished(0ms));
    EXPECT_EQ(sink.body, "first");
    service.Pause(handle, false);
    ASSERT_TRUE(sink.WaitFinished(5s));
    EXPECT_EQ(sink.result->outcome, TransferOutcome::kCompleted) << sink.result->errorText;
    EXPECT_EQ(sink.body, "firstend");
}

TEST(TransferService, ShutdownAbortsWhatIsStillRunning)
{
    LoopbackHttpServer server(Silence);
    RecordingSink running;
    RecordingSink queued;
    {
        TransferService service;
        service.Submit(Get(server, "/one"), running);
        ASSERT_TRUE(running.WaitBody(2, 5s));
        service.Submit(Get(server, "/two"), queued);
    }
    ASSERT_TRUE(running.result.has_value());
    EXPECT_EQ(running.result->outcome, TransferOutcome::kAborted);
    ASSERT_TRUE(queued.result.has_value());
    EXPECT_NE(queued.result->outcome, TransferOutcome::kCompleted);
}

TEST(TransferService, SequentialRequestsShareOneConnection)
{
    LoopbackHttpServer server([](const ReceivedRequest&, PeerSocket& peer) { peer.Send(HttpResponse("200 OK", "x")); });
    TransferService service;
    ChainingSink sink(service, server, 50);
    service.Submit(Get(server, "/first"), sink);
    ASSERT_TRUE(sink.WaitFinished(10s));
    EXPECT_EQ(sink.fetched.load(), 50);
    EXPECT_EQ(server.Requests().size(), 50u);
    EXPECT_EQ(server.Connections(), 1);
}

TEST(TransferService, RunsSeveralTransfersAtOnce)
{
    // No answer goes out before all five requests have arrived: transfers
    // run one after another would wait for each other for ever.
    constexpr int kTransfers = 5;
    std::mutex mutex;
    std::condition_variable allArrived;
    int arrived = 0;
    LoopbackHttpServer server([&](const ReceivedRequest& request, PeerSocket& peer) {
        std::unique_lock lock(mutex);
        if (++arrived == kTransfers) allArrived.notify_all();
        const bool together = allArrived.wait_for(lock, 60s, [&] { return arrived == kTransfers; });
        lock.unlock();
        peer.Send(HttpResponse(together ? "200 OK" : "503 Alone", request.RequestLine()));
    });
    TransferService service;
    std::vector<std::unique_ptr<RecordingSink>> sinks;
    for (int i = 0; i < kTransfers; ++i) {
        sinks.push_back(std::make_unique<RecordingSink>());
        service.Submit(Get(server, "/item" + std::to_string(i)), *sinks.back());
    }
    for (int i = 0; i < kTransfers; ++i) {
        ASSERT_TRUE(sinks[i]->WaitFinished(120s));
        EXPECT_TRUE(sinks[i]->result->Fetched());
        EXPECT_EQ(sinks[i]->result->statusCode, 200);
        EXPECT_EQ(sinks[i]->body, "GET /item" + std::to_string(i) + " HTTP/1.1");
    }
}

}  // namespace
