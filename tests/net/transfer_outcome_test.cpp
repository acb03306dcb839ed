// How a transfer ends for each way a server can behave: complete, cut off,
// silent, trickling, oversized, refused by the sink.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "loopback_server.h"
#include "platform/net/blocking_transfer.h"
#include "test_support.h"

namespace {

using namespace nettest;
using namespace std::chrono_literals;
using net::RunBlocking;
using net::TransferOutcome;
using net::TransferRequest;
using Clock = std::chrono::steady_clock;

const std::string kOkHead = "HTTP/1.1 200 OK\r\n";

void SendThenClose(PeerSocket& peer, const std::string& bytes)
{
    peer.Send(bytes);
    peer.Close();
}

struct Case {
    const char* path;
    std::function<void(PeerSocket&)> reply;
    int stallSeconds;
    std::uint64_t maxBodyBytes;
    std::size_t refuseAfter;
    TransferOutcome outcome;
    int status;
    std::string body;
    // A stall is told only after its time-out (upper bounds are the
    // outcome's business: a transfer that hung would never return).
    std::chrono::milliseconds atLeast;
};

// Each letter of `letters` `count` times.
std::string Pieces(const std::string& letters, std::size_t count)
{
    std::string out;
    for (char c : letters) out.append(count, c);
    return out;
}

const std::size_t kNoRefusal = static_cast<std::size_t>(-1);

std::vector<Case> Cases()
{
    const std::string big(1000, 'b');
    return {
        {"/complete", [](PeerSocket& p) { p.Send(HttpResponse("200 OK", "0123456789")); }, 0, 0, kNoRefusal,
         TransferOutcome::kCompleted, 200, "0123456789", 0ms},
        {"/not-found", [](PeerSocket& p) { p.Send(HttpResponse("404 Not Found", "gone")); }, 0, 0, kNoRefusal,
         TransferOutcome::kCompleted, 404, "gone", 0ms},
        {"/cut-short",
         [](PeerSocket& p) { SendThenClose(p, kOkHead + "Content-Length: 100\r\n\r\n" + std::string(40, 'x')); }, 0,
         0, kNoRefusal, TransferOutcome::kTruncated, 200, std::string(40, 'x'), 0ms},
        {"/chunks-cut",
         [](PeerSocket& p) { SendThenClose(p, kOkHead + "Transfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n"); }, 0, 0,
         kNoRefusal, TransferOutcome::kTruncated, 200, "hello", 0ms},
        {"/chunks-whole",
         [](PeerSocket& p) { p.Send(kOkHead + "Transfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n"); }, 0, 0,
         kNoRefusal, TransferOutcome::kCompleted, 200, "hello", 0ms},
        {"/until-close", [](PeerSocket& p) { SendThenClose(p, kOkHead + "Connection: close\r\n\r\nabc"); }, 0, 0,
         kNoRefusal, TransferOutcome::kCompleted, 200, "abc", 0ms},
        {"/header-cut", [](PeerSocket& p) { SendThenClose(p, kOkHead + "Content-Le"); }, 0, 0, kNoRefusal,
         TransferOutcome::kFailed, 0, "", 0ms},
        {"/status-line-only", [](PeerSocket& p) { SendThenClose(p, kOkHead); }, 0, 0, kNoRefusal,
         TransferOutcome::kFailed, 0, "", 0ms},
        {"/nothing", [](PeerSocket& p) { p.Close(); }, 0, 0, kNoRefusal, TransferOutcome::kFailed, 0, "", 0ms},
        {"/stalls-in-body",
         [](PeerSocket& p) {
             p.Send(kOkHead + "Content-Length: 100\r\n\r\n12345");
             p.WaitForClientClose();
             p.Close();
         },
         1, 0, kNoRefusal, TransferOutcome::kStalled, 200, "12345", 900ms},
        {"/silent",
         [](PeerSocket& p) {
             p.WaitForClientClose();
             p.Close();
         },
         1, 0, kNoRefusal, TransferOutcome::kStalled, 0, "", 900ms},
        // Slow but above the floor: alive for as long as it keeps that up.
        {"/trickle",
         [](PeerSocket& p) {
             p.Send(kOkHead + "Content-Length: 1600\r\n\r\n");
             for (char c : std::string("abcdefgh")) {
                 if (!p.Pause(250ms) || !p.Send(std::string(200, c))) return;
             }
         },
         1, 0, kNoRefusal, TransferOutcome::kCompleted, 200, Pieces("abcdefgh", 200), 1500ms},
        // A byte now and then, below the floor for a whole time-out: stalled.
        {"/dribble",
         [](PeerSocket& p) {
             p.Send(kOkHead + "Content-Length: 100\r\n\r\n");
             for (int i = 0; i < 100; ++i) {
                 if (!p.Pause(100ms) || !p.Send("d")) return;
             }
         },
         1, 0, kNoRefusal, TransferOutcome::kStalled, 200, "", 900ms},
        {"/interim-first",
         [](PeerSocket& p) { p.Send("HTTP/1.1 100 Continue\r\n\r\n" + HttpResponse("200 OK", "ok")); }, 0, 0,
         kNoRefusal, TransferOutcome::kCompleted, 200, "ok", 0ms},
        {"/over-cap-announced", [big](PeerSocket& p) { p.Send(HttpResponse("200 OK", big)); }, 0, 100, kNoRefusal,
         TransferOutcome::kFailed, 200, "", 0ms},
        {"/over-cap-unannounced", [big](PeerSocket& p) { SendThenClose(p, kOkHead + "Connection: close\r\n\r\n" + big); },
         0, 100, kNoRefusal, TransferOutcome::kFailed, 200, "", 0ms},
        {"/within-cap", [big](PeerSocket& p) { p.Send(HttpResponse("200 OK", big)); }, 0, 1000, kNoRefusal,
         TransferOutcome::kCompleted, 200, big, 0ms},
        {"/refused-by-sink", [](PeerSocket& p) { p.Send(HttpResponse("200 OK", std::string(200000, 'r'))); }, 0, 0, 1,
         TransferOutcome::kAborted, 200, "", 0ms},
    };
}

TEST(TransferOutcome, MatchesWhatTheServerDid)
{
    const std::vector<Case> cases = Cases();
    std::map<std::string, const Case*> byPath;
    for (const Case& c : cases) byPath[c.path] = &c;
    LoopbackHttpServer server([&](const ReceivedRequest& request, PeerSocket& peer) {
        const std::string line = request.RequestLine();
        const std::string path = line.substr(4, line.find(' ', 4) - 4);
        byPath.at(path)->reply(peer);
    });
    for (const Case& c : cases) {
        TransferRequest request;
        request.url = server.Url(c.path);
        request.stallTimeoutSeconds = c.stallSeconds;
        request.maxBodyBytes = c.maxBodyBytes;
        RecordingSink sink;
        sink.refuseAfter = c.refuseAfter;
        const auto started = Clock::now();
        const net::TransferResult result = RunBlocking(request, sink);
        const auto took = Clock::now() - started;

        EXPECT_EQ(result.outcome, c.outcome) << c.path << ": " << net::TransferOutcomeName(result.outcome) << " "
                                             << result.errorText;
        EXPECT_EQ(result.statusCode, c.status) << c.path;
        if (c.path == std::string_view("/dribble")) {
            EXPECT_LT(sink.body.size(), 100u) << "ended before the whole body dribbled in";
        } else if (c.refuseAfter == kNoRefusal && c.maxBodyBytes == 0) {
            EXPECT_EQ(sink.body, c.body) << c.path;
            EXPECT_EQ(result.bytesReceived, c.body.size()) << c.path;
        }
        EXPECT_EQ(result.errorText.empty(), c.outcome == TransferOutcome::kCompleted) << c.path;
        EXPECT_EQ(sink.headerCalls, c.status != 0 ? 1 : 0) << c.path;
        EXPECT_EQ(result.rawHeader, sink.header) << c.path;
        if (c.status != 0) {
            EXPECT_EQ(result.rawHeader.rfind("HTTP/1.1 " + std::to_string(c.status), 0), 0u) << c.path;
            EXPECT_TRUE(result.rawHeader.ends_with("\r\n\r\n")) << c.path;
        }
        EXPECT_GE(took, c.atLeast) << c.path;
    }
}

TEST(TransferOutcome, ReportsProgressAgainstTheAnnouncedLength)
{
    const std::string body(300000, 'p');
    LoopbackHttpServer server([&](const ReceivedRequest&, PeerSocket& peer) { peer.Send(HttpResponse("200 OK", body)); });
    TransferRequest request;
    request.url = server.Url("/large");
    RecordingSink sink;
    const net::TransferResult result = RunBlocking(request, sink);
    ASSERT_TRUE(result.Fetched()) << result.errorText;
    EXPECT_EQ(result.expectedSize, static_cast<std::int64_t>(body.size()));
    ASSERT_FALSE(sink.progress.empty());
    std::uint64_t previous = 0;
    for (const auto& [received, expected] : sink.progress) {
        EXPECT_GT(received, previous);
        EXPECT_EQ(expected, static_cast<std::int64_t>(body.size()));
        previous = received;
    }
    EXPECT_EQ(previous, body.size());
    EXPECT_EQ(sink.body, body);
}

TEST(TransferOutcome, HeadReportsTheAnnouncedLengthWithoutABody)
{
    LoopbackHttpServer server([](const ReceivedRequest&, PeerSocket& peer) {
        peer.Send("HTTP/1.1 200 OK\r\nContent-Length: 1234\r\nLast-Modified: Tue, 01 Jan 2002 00:00:00 GMT\r\n\r\n");
    });
    TransferRequest request;
    request.url = server.Url("/file.zip");
    request.method = net::TransferMethod::kHead;
    RecordingSink sink;
    const net::TransferResult result = RunBlocking(request, sink);
    EXPECT_TRUE(result.Fetched()) << result.errorText;
    EXPECT_EQ(result.expectedSize, 1234);
    EXPECT_EQ(result.bytesReceived, 0u);
    EXPECT_NE(result.rawHeader.find("Last-Modified: Tue, 01 Jan 2002 00:00:00 GMT\r\n"), std::string::npos);
}

TEST(TransferOutcome, CancelFlagEndsABlockingTransferThatGetsNoData)
{
    LoopbackHttpServer server([](const ReceivedRequest&, PeerSocket& peer) {
        peer.Send(kOkHead + "Content-Length: 100\r\n\r\nab");
        peer.WaitForClientClose();
        peer.Close();
    });
    std::atomic<bool> cancel{false};
    TransferRequest request;
    request.url = server.Url("/forever");
    RecordingSink sink;
    std::thread canceller([&] {
        sink.WaitBody(2, 5s);
        cancel = true;
    });
    // The server never ends the body: only the flag can end the transfer.
    const net::TransferResult result = RunBlocking(request, sink, &cancel);
    canceller.join();
    EXPECT_EQ(result.outcome, TransferOutcome::kAborted);
    EXPECT_EQ(result.statusCode, 200);
}

}  // namespace
