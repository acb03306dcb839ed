// The HTTP peer seen byte by byte from a plain socket: framing that a
// library client would hide.
#include "tests/support/http_peer.h"

#include "loopback_client.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

using namespace testsupport;
using namespace std::chrono_literals;

namespace {

// Reads one response head (status line and headers, with their line ends).
std::string ReadHead(LoopbackClient& client)
{
    std::string head;
    for (;;) {
        std::string line = client.ReadLine();
        head += line;
        if (line.empty() || line == "\r\n" || line == "\n") return head;
    }
}

TEST(HttpPeerWire, PipelinedRequestsShareOneConnectionAndHeadSendsNoBody)
{
    HttpPeer peer({{.path = "/one", .body = "first"}, {.path = "/two", .body = "second"}});
    LoopbackClient client(peer.Port());
    client.Send("HEAD /one HTTP/1.1\r\nHost: x\r\n\r\n"
                "GET /two HTTP/1.1\r\nHost: x\r\n\r\n");
    std::string head = ReadHead(client);
    EXPECT_EQ(head.rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
    EXPECT_NE(head.find("Content-Length: 5\r\n"), std::string::npos);
    // The next bytes belong to the second answer: HEAD left no body behind.
    EXPECT_EQ(ReadHead(client).rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
    EXPECT_EQ(client.ReadBytes(6), "second");

    auto requests = peer.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].method, "HEAD");
    EXPECT_EQ(requests[0].connection, requests[1].connection);
    EXPECT_EQ(peer.ConnectionCount(), 1);
}

TEST(HttpPeerWire, ClosesAfterAnHttp10RequestWithoutKeepAlive)
{
    HttpPeer peer({{.path = "/old", .body = "legacy"}});
    LoopbackClient client(peer.Port());
    client.Send("GET /old HTTP/1.0\r\n\r\n");
    std::string answer = client.ReadToEnd();
    EXPECT_NE(answer.find("Connection: close\r\n"), std::string::npos);
    EXPECT_EQ(answer.substr(answer.size() - 6), "legacy");
    EXPECT_TRUE(client.PeerClosed(1s));
}

TEST(HttpPeerWire, StallSendsTheHeadThenNothing)
{
    HttpPeer peer({{.path = "/stall", .body = "eventually", .stallSeconds = 0.8}});
    LoopbackClient client(peer.Port());
    client.Send("GET /stall HTTP/1.1\r\nHost: x\r\n\r\n");
    EXPECT_NE(ReadHead(client).find("Content-Length: 10\r\n"), std::string::npos);
    EXPECT_TRUE(client.StaysQuiet(300ms));
    EXPECT_EQ(client.ReadBytes(10, 3s), "eventually");
}

TEST(HttpPeerWire, AnswersExpectContinueBeforeTheBodyIsSent)
{
    HttpPeer peer({{.method = "PUT", .path = "/put", .status = 201}});
    LoopbackClient client(peer.Port());
    client.Send("PUT /put HTTP/1.1\r\nHost: x\r\nExpect: 100-continue\r\nContent-Length: 4\r\n\r\n");
    EXPECT_EQ(ReadHead(client), "HTTP/1.1 100 Continue\r\n\r\n");
    client.Send("data");
    EXPECT_EQ(ReadHead(client).rfind("HTTP/1.1 201 Created\r\n", 0), 0u);
    auto requests = peer.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].body, "data");
}

TEST(HttpPeerWire, RecordsAChunkedRequestBodyDecoded)
{
    HttpPeer peer({{.method = "POST", .path = "/in"}});
    LoopbackClient client(peer.Port());
    client.Send("POST /in HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n"
                "3\r\nabc\r\n5;ext=1\r\ndefgh\r\n0\r\n\r\n");
    EXPECT_EQ(ReadHead(client).rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
    auto requests = peer.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].body, "abcdefgh");
}

TEST(HttpPeerWire, AnswersAMalformedRequestWith400AndCloses)
{
    HttpPeer peer(std::vector<HttpRoute>{});
    LoopbackClient client(peer.Port());
    client.Send("NONSENSE\r\n\r\n");
    std::string answer = client.ReadToEnd();
    EXPECT_EQ(answer.rfind("HTTP/1.1 400 Bad Request\r\n", 0), 0u);
    EXPECT_TRUE(client.PeerClosed(1s));
}

}  // namespace
