// Blocking transfers reuse one connection for sequential requests, also when
// each request runs on a thread of its own (as the HTTP client helper does).
#include <gtest/gtest.h>

#include "loopback_server.h"
#include "platform/net/blocking_transfer.h"
#include "test_support.h"

namespace {

using namespace nettest;

TEST(BlockingTransferReuse, SequentialRequestsShareOneConnection)
{
    struct Case {
        const char* name;
        bool threadPerRequest;
    };
    const Case cases[] = {{"same thread", false}, {"thread per request", true}};
    for (const Case& c : cases) {
        LoopbackHttpServer server(
            [](const ReceivedRequest&, PeerSocket& peer) { peer.Send(HttpResponse("200 OK", "again")); });
        for (int i = 0; i < 4; ++i) {
            net::TransferRequest request;
            request.url = server.Url("/page" + std::to_string(i));
            RecordingSink sink;
            net::TransferResult result;
            if (c.threadPerRequest) {
                std::thread worker([&] { result = net::RunBlocking(request, sink); });
                worker.join();
            } else {
                result = net::RunBlocking(request, sink);
            }
            EXPECT_TRUE(result.Fetched()) << c.name << ": " << result.errorText;
            EXPECT_EQ(sink.body, "again") << c.name;
        }
        EXPECT_EQ(server.Requests().size(), 4u) << c.name;
        EXPECT_EQ(server.Connections(), 1) << c.name;
    }
}

TEST(BlockingTransferReuse, ConcurrentRequestsDoNotShareAConnection)
{
    LoopbackHttpServer server([](const ReceivedRequest& request, PeerSocket& peer) {
        peer.Pause(std::chrono::milliseconds(100));
        peer.Send(HttpResponse("200 OK", request.RequestLine()));
    });
    std::vector<std::thread> workers;
    std::vector<RecordingSink> sinks(6);
    std::vector<net::TransferResult> results(6);
    for (int i = 0; i < 6; ++i) {
        workers.emplace_back([&, i] {
            net::TransferRequest request;
            request.url = server.Url("/c" + std::to_string(i));
            results[i] = net::RunBlocking(request, sinks[i]);
        });
    }
    for (std::thread& worker : workers) worker.join();
    for (int i = 0; i < 6; ++i) {
        EXPECT_TRUE(results[i].Fetched()) << results[i].errorText;
        EXPECT_EQ(sinks[i].body, "GET /c" + std::to_string(i) + " HTTP/1.1");
    }
}

}  // namespace
