// What goes on the wire for a request, and what is refused before anything
// goes on the wire.
#include <gtest/gtest.h>

#include <algorithm>

#include "loopback_server.h"
#include "platform/net/blocking_transfer.h"
#include "test_support.h"

namespace {

using namespace nettest;
using net::RunBlocking;
using net::TransferMethod;
using net::TransferOutcome;
using net::TransferRequest;

std::vector<std::string> Sorted(std::vector<std::string> names)
{
    std::sort(names.begin(), names.end());
    return names;
}

void ReplyHello(const ReceivedRequest& request, PeerSocket& peer)
{
    if (request.RequestLine().rfind("HEAD ", 0) == 0) {
        peer.Send("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\n");
    } else {
        peer.Send(HttpResponse("200 OK", "hello"));
    }
}

TEST(TransferRequestBytes, SendsExactlyTheMethodAndTheHeadersTheCallerGives)
{
    struct Case {
        const char* name;
        TransferMethod method;
        std::vector<std::string> headerLines;
        std::string userAgent;
        std::string body;
        std::string requestLine;
        std::vector<std::string> headerNames;
        std::string responseBody;
    };
    const std::string longForm(5000, 'f');  // large enough for an Expect: 100-continue by default
    const Case cases[] = {
        {"plain GET", TransferMethod::kGet, {}, "Tidewell/1.0", "", "GET /page?x=1 HTTP/1.1", {"Host", "User-Agent"},
         "hello"},
        {"GET without agent", TransferMethod::kGet, {}, "", "", "GET /page?x=1 HTTP/1.1", {"Host"}, "hello"},
        {"GET with the caller's headers",
         TransferMethod::kGet,
         {"Cookie: a=1", "Cookie: b=2", "Authorization: Basic dTpw", "Accept: */*"},
         "Tidewell/1.0",
         "",
         "GET /page?x=1 HTTP/1.1",
         {"Host", "User-Agent", "Cookie", "Cookie", "Authorization", "Accept"},
         "hello"},
        {"HEAD", TransferMethod::kHead, {}, "Tidewell/1.0", "", "HEAD /page?x=1 HTTP/1.1", {"Host", "User-Agent"}, ""},
        {"POST without a type", TransferMethod::kPost, {}, "Tidewell/1.0", "a=1&b=2", "POST /page?x=1 HTTP/1.1",
         {"Host", "User-Agent", "Content-Length"}, "hello"},
        {"long form POST",
         TransferMethod::kPost,
         {"Content-Type: application/x-www-form-urlencoded"},
         "Tidewell/1.0",
         longForm,
         "POST /page?x=1 HTTP/1.1",
         {"Host", "User-Agent", "Content-Type", "Content-Length"},
         "hello"},
    };
    for (const Case& c : cases) {
        LoopbackHttpServer server(ReplyHello);
        TransferRequest request;
        request.url = server.Url("/page?x=1");
        request.method = c.method;
        request.headerLines = c.headerLines;
        request.userAgent = c.userAgent;
        request.postBody = c.body;
        RecordingSink sink;
        const net::TransferResult result = RunBlocking(request, sink);

        EXPECT_EQ(result.outcome, TransferOutcome::kCompleted) << c.name << ": " << result.errorText;
        EXPECT_EQ(result.statusCode, 200) << c.name;
        EXPECT_EQ(sink.body, c.responseBody) << c.name;
        const auto requests = server.Requests();
        ASSERT_EQ(requests.size(), 1u) << c.name;
        const ReceivedRequest& seen = requests[0];
        EXPECT_EQ(seen.RequestLine(), c.requestLine) << c.name;
        EXPECT_EQ(Sorted(seen.HeaderNames()), Sorted(c.headerNames)) << c.name << "\n" << seen.head;
        EXPECT_EQ(seen.Header("Host"), "127.0.0.1:" + std::to_string(server.Port())) << c.name;
        EXPECT_EQ(seen.Header("User-Agent"), c.userAgent) << c.name;
        for (const std::string& line : c.headerLines) {
            EXPECT_NE(seen.head.find(line + "\r\n"), std::string::npos) << c.name << ": " << line;
        }
        EXPECT_EQ(seen.body, c.body) << c.name;
    }
}

TEST(TransferRequestBytes, RefusesWithoutAnyNetworkActivity)
{
    TempFolder folder;
    folder.Write("secret.txt", "local file contents");
    LoopbackHttpServer server(ReplyHello);
    const std::string hostPort = "127.0.0.1:" + std::to_string(server.Port());
    struct Case {
        const char* name;
        std::string url;
        std::vector<std::string> headerLines;
        TransferMethod method;
    };
    const Case cases[] = {
        {"mailto", "mailto:someone@" + hostPort, {}, TransferMethod::kGet},
        {"file", "file://" + folder.File("secret.txt"), {}, TransferMethod::kGet},
        {"dict", "dict://" + hostPort + "/d:word", {}, TransferMethod::kGet},
        {"gopher", "gopher://" + hostPort + "/", {}, TransferMethod::kGet},
        {"telnet", "telnet://" + hostPort, {}, TransferMethod::kGet},
        {"no scheme", hostPort + "/page", {}, TransferMethod::kGet},
        {"space in URL", "http://" + hostPort + "/a b", {}, TransferMethod::kGet},
        {"line end in URL", "http://" + hostPort + "/a\r\nX-Injected: 1", {}, TransferMethod::kGet},
        {"line end in header", "http://" + hostPort + "/", {"X-A: 1\r\nX-B: 2"}, TransferMethod::kGet},
        {"header without name", "http://" + hostPort + "/", {": value"}, TransferMethod::kGet},
        {"POST over ftp", "ftp://" + hostPort + "/upload", {}, TransferMethod::kPost},
    };
    for (const Case& c : cases) {
        TransferRequest request;
        request.url = c.url;
        request.headerLines = c.headerLines;
        request.method = c.method;
        RecordingSink sink;
        const net::TransferResult result = RunBlocking(request, sink);
        EXPECT_EQ(result.outcome, TransferOutcome::kFailed) << c.name;
        EXPECT_FALSE(result.errorText.empty()) << c.name;
        EXPECT_TRUE(sink.body.empty()) << c.name;
        EXPECT_EQ(sink.headerCalls, 0) << c.name;
        EXPECT_EQ(sink.finishCalls, 1) << c.name;
    }
    EXPECT_EQ(server.Connections(), 0);
}

TEST(TransferRequestBytes, AcceptsASchemeInCapitals)
{
    LoopbackHttpServer server(ReplyHello);
    TransferRequest request;
    request.url = "HTTP://127.0.0.1:" + std::to_string(server.Port()) + "/";
    RecordingSink sink;
    EXPECT_TRUE(RunBlocking(request, sink).Fetched());
    EXPECT_EQ(sink.body, "hello");
}

TEST(TransferRequestBytes, ReturnsARedirectInsteadOfFollowingIt)
{
    LoopbackHttpServer server([](const ReceivedRequest&, PeerSocket& peer) {
        peer.Send(HttpResponse("302 Found", "moved", "Location: /elsewhere\r\nSet-Cookie: s=1\r\n"));
    });
    TransferRequest request;
    request.url = server.Url("/start");
    RecordingSink sink;
    const net::TransferResult result = RunBlocking(request, sink);
    EXPECT_EQ(result.outcome, TransferOutcome::kCompleted);
    EXPECT_EQ(result.statusCode, 302);
    EXPECT_FALSE(result.Fetched());
    EXPECT_EQ(result.rawHeader.rfind("HTTP/1.1 302 Found\r\n", 0), 0u) << result.rawHeader;
    EXPECT_NE(result.rawHeader.find("Location: /elsewhere\r\n"), std::string::npos);
    EXPECT_EQ(sink.body, "moved");

    // The cookie it set is not sent back: the layer keeps no cookies.
    RecordingSink again;
    RunBlocking(request, again);
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].RequestLine(), "GET /start HTTP/1.1");
    EXPECT_EQ(requests[1].Header("Cookie"), "");
}

}  // namespace
