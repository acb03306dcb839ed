#include "tests/support/http_peer.h"
#include "tests/support/self_signed_cert.h"
#include "tests/support/temp_dir.h"

#include "curl_client.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace testsupport;

namespace {

CurlConfigure Options(std::initializer_list<std::pair<CURLoption, long>> numbers,
                      std::initializer_list<std::pair<CURLoption, const char*>> texts = {})
{
    std::vector<std::pair<CURLoption, long>> n(numbers);
    std::vector<std::pair<CURLoption, std::string>> t(texts.begin(), texts.end());
    return [n, t](CURL* curl) {
        for (const auto& [option, value] : n) curl_easy_setopt(curl, option, value);
        for (const auto& [option, value] : t) curl_easy_setopt(curl, option, value.c_str());
    };
}

TEST(HttpPeer, AnswersEachRouteAsScripted)
{
    struct Case {
        const char* name;
        HttpRoute route;
        const char* target;
        CurlConfigure configure;
        CURLcode code;
        long status;
        std::string body;
        std::vector<std::string> headLines;  // each must appear in the head
        double atLeastSeconds = 0;
    };
    const std::string binary("\0\x01\xff\xfe text", 9);
    std::vector<Case> cases = {
        {"text body", {.path = "/a", .body = "hello"}, "/a", {}, CURLE_OK, 200, "hello",
         {"HTTP/1.1 200 OK\r\n", "Content-Length: 5\r\n", "Content-Type: text/html\r\n"}},
        {"binary body", {.path = "/bin", .headers = {{"Content-Type", "application/octet-stream"}}, .body = binary},
         "/bin", {}, CURLE_OK, 200, binary, {"Content-Type: application/octet-stream\r\n"}},
        {"status and reason", {.path = "/teapot", .status = 418, .reason = "Short And Stout"}, "/teapot", {},
         CURLE_OK, 418, "", {"HTTP/1.1 418 Short And Stout\r\n"}},
        {"repeated Set-Cookie", {.path = "/c", .headers = {{"Set-Cookie", "h=0"}}, .setCookies = {"a=1; Path=/", "b=2"}},
         "/c", {}, CURLE_OK, 200, "", {"Set-Cookie: h=0\r\n", "Set-Cookie: a=1; Path=/\r\n", "Set-Cookie: b=2\r\n"}},
        {"relative redirect", {.path = "/old", .redirect = "/new"}, "/old", {}, CURLE_OK, 302, "",
         {"Location: /new\r\n"}},
        {"realm without credentials", {.path = "/vault", .body = "gold", .realm = HttpRealm{"Vault", "ann", "pw"}},
         "/vault", {}, CURLE_OK, 401, "authorization required\n", {"WWW-Authenticate: Basic realm=\"Vault\"\r\n"}},
        {"realm with wrong password", {.path = "/vault", .body = "gold", .realm = HttpRealm{"Vault", "ann", "pw"}},
         "/vault", Options({}, {{CURLOPT_USERPWD, "ann:nope"}}), CURLE_OK, 401, "authorization required\n", {}},
        {"realm with credentials", {.path = "/vault", .body = "gold", .realm = HttpRealm{"Vault", "ann", "pw"}},
         "/vault", Options({}, {{CURLOPT_USERPWD, "ann:pw"}}), CURLE_OK, 200, "gold", {}},
        {"cookie missing", {.path = "/member", .body = "in", .requireCookie = "session=42"}, "/member",
         Options({}, {{CURLOPT_COOKIE, "session=41"}}), CURLE_OK, 403, "cookie required\n", {}},
        {"cookie present", {.path = "/member", .body = "in", .requireCookie = "session=42"}, "/member",
         Options({}, {{CURLOPT_COOKIE, "x=1; session=42"}}), CURLE_OK, 200, "in", {}},
        {"chunked", {.path = "/ch", .body = "chunked body", .chunked = true}, "/ch", {}, CURLE_OK, 200,
         "chunked body", {"Transfer-Encoding: chunked\r\n"}},
        {"bare LF header lines", {.path = "/lf", .body = "lf", .bareLf = true}, "/lf", {}, CURLE_OK, 200, "lf",
         {"HTTP/1.1 200 OK\n", "Content-Length: 2\n"}},
        {"close mid body", {.path = "/cut", .body = "0123456789", .closeMidBody = 4}, "/cut", {},
         CURLE_PARTIAL_FILE, 200, "0123", {"Content-Length: 10\r\n"}},
        {"stall past the client's limit", {.path = "/slow", .body = "late", .stallSeconds = 3}, "/slow",
         Options({{CURLOPT_TIMEOUT_MS, 400L}}), CURLE_OPERATION_TIMEDOUT, 200, "", {"Content-Length: 4\r\n"}},
        {"stall then body", {.path = "/wait", .body = "late", .stallSeconds = 0.3}, "/wait", {}, CURLE_OK, 200,
         "late", {}, 0.3},
        {"trickle", {.path = "/drip", .body = std::string(20, 'd'), .trickle = HttpTrickle{5, 0.05}}, "/drip", {},
         CURLE_OK, 200, std::string(20, 'd'), {}, 0.15},
        {"HEAD keeps the length", {.path = "/h", .body = "12345"}, "/h", Options({{CURLOPT_NOBODY, 1L}}),
         CURLE_OK, 200, "", {"Content-Length: 5\r\n"}},
        {"query must match", {.path = "/q", .query = "x=1", .body = "one"}, "/q?x=1", {}, CURLE_OK, 200, "one", {}},
        {"other query falls through", {.path = "/q", .query = "x=1", .body = "one"}, "/q?x=2", {}, CURLE_OK, 404,
         "not found\n", {}},
        {"method must match", {.method = "POST", .path = "/form", .body = "posted"}, "/form", {}, CURLE_OK, 404,
         "not found\n", {}},
        {"100 Continue sent unasked",
         {.method = "POST", .path = "/up", .body = "stored", .sendContinue = true}, "/up",
         Options({}, {{CURLOPT_POSTFIELDS, "data"}}), CURLE_OK, 200, "stored",
         {"HTTP/1.1 100 Continue\r\n", "HTTP/1.1 200 OK\r\n"}},
        {"{base} expands", {.path = "/abs", .redirect = "{base}/next"}, "/abs", {}, CURLE_OK, 302, "",
         {"Location: http://127.0.0.1:"}},
    };
    // One peer holds every route, so the table costs one start-up.
    std::vector<HttpRoute> routes;
    for (const auto& c : cases) {
        bool known = false;
        for (const auto& route : routes) known = known || (route.path == c.route.path && route.query == c.route.query);
        if (!known) routes.push_back(c.route);
    }
    HttpPeer peer(routes);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CurlResult result = Fetch(peer.Url(c.target), c.configure);
        EXPECT_EQ(result.code, c.code) << curl_easy_strerror(result.code);
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.body, c.body);
        for (const auto& line : c.headLines) EXPECT_NE(result.head.find(line), std::string::npos) << line << result.head;
        EXPECT_GE(result.seconds, c.atLeastSeconds);
        auto requests = peer.Requests();
        ASSERT_FALSE(requests.empty());
        EXPECT_EQ(requests.back().target, c.target);
    }
}

TEST(HttpPeer, FlakyRouteFailsItsFirstRequests)
{
    HttpPeer peer({{.path = "/f", .body = "fine", .flaky = 2}});
    std::vector<long> statuses;
    for (int i = 0; i < 3; ++i) statuses.push_back(Fetch(peer.Url("/f")).status);
    EXPECT_EQ(statuses, (std::vector<long>{500, 500, 200}));
}

TEST(HttpPeer, RecordsTheRawRequest)
{
    HttpPeer peer({{.method = "POST", .path = "/echo", .body = "ok"}});
    curl_slist* headers = curl_slist_append(nullptr, "X-Probe: one");
    headers = curl_slist_append(headers, "Expect:");
    CurlResult result = Fetch(peer.Url("/echo?x=1&y=%20"), [headers](CURL* curl) {
        curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, "a=1&b=\x01\xff");
    });
    curl_slist_free_all(headers);
    ASSERT_EQ(result.status, 200);

    auto requests = peer.Requests();
    ASSERT_EQ(requests.size(), 1u);
    const HttpRequestRecord& r = requests[0];
    EXPECT_EQ(r.method, "POST");
    EXPECT_EQ(r.target, "/echo?x=1&y=%20");
    EXPECT_EQ(r.path, "/echo");
    EXPECT_EQ(r.query, "x=1&y=%20");
    EXPECT_EQ(r.version, "HTTP/1.1");
    EXPECT_EQ(r.Header("x-probe"), "one");
    EXPECT_EQ(r.body, "a=1&b=\x01\xff");
    EXPECT_EQ(r.head.rfind("POST /echo?x=1&y=%20 HTTP/1.1\r\n", 0), 0u);
    EXPECT_NE(r.head.find("\r\nX-Probe: one\r\n"), std::string::npos);
    EXPECT_EQ(r.head.substr(r.head.size() - 4), "\r\n\r\n");
    EXPECT_FALSE(r.tls);
}

TEST(HttpPeer, ConnectionIdsShowReuse)
{
    struct Case {
        const char* name;
        HttpRoute route;
        int connections;
    };
    const Case cases[] = {
        {"keep-alive", {.path = "/k", .body = "k"}, 1},
        {"Connection: close", {.path = "/k", .body = "k", .close = true}, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HttpPeer peer({c.route});
        CurlSession session;
        EXPECT_EQ(session.Perform(peer.Url("/k")).body, "k");
        EXPECT_EQ(session.Perform(peer.Url("/k")).body, "k");
        auto requests = peer.Requests();
        ASSERT_EQ(requests.size(), 2u);
        EXPECT_EQ(requests[1].connection - requests[0].connection, c.connections - 1);
        EXPECT_EQ(peer.ConnectionCount(), c.connections);
    }
}

TEST(HttpPeer, RedirectChainRelativeThenAbsolute)
{
    HttpPeer peer({{.path = "/start", .redirect = "middle"},
                   {.path = "/middle", .status = 301, .redirect = "{base}/end"},
                   {.path = "/end", .body = "arrived"}});
    CurlResult result = Fetch(peer.Url("/start"), Options({{CURLOPT_FOLLOWLOCATION, 1L}}));
    EXPECT_EQ(result.code, CURLE_OK);
    EXPECT_EQ(result.body, "arrived");
    EXPECT_EQ(result.effectiveUrl, peer.Url("/end"));
    std::vector<std::string> paths;
    for (const auto& r : peer.Requests()) paths.push_back(r.path);
    EXPECT_EQ(paths, (std::vector<std::string>{"/start", "/middle", "/end"}));
}

TEST(HttpPeer, ServesTheRootFolderAndNothingAboveIt)
{
    TempDir dir;
    dir.Write("site/index.html", "<p>home</p>");
    dir.Write("site/sub/notes.txt", "notes");
    dir.Write("secret.txt", "outside");
    HttpPeer peer({{.path = "/scripted", .body = "route wins"}}, {.root = dir.File("site")});
    struct Case {
        const char* target;
        long status;
        std::string body;
        std::string contentType;
    };
    const Case cases[] = {
        {"/", 200, "<p>home</p>", "text/html"},
        {"/sub/notes.txt", 200, "notes", "text/plain"},
        {"/scripted", 200, "route wins", "text/html"},
        {"/missing.html", 404, "not found\n", "text/plain"},
        {"/../secret.txt", 404, "not found\n", "text/plain"},
        {"/%2e%2e/secret.txt", 404, "not found\n", "text/plain"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        CurlResult result = Fetch(peer.Url(c.target), Options({{CURLOPT_PATH_AS_IS, 1L}}));
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.body, c.body);
        EXPECT_NE(result.head.find("Content-Type: " + c.contentType + "\r\n"), std::string::npos);
    }
}

TEST(HttpPeer, ServesHttpsWithTheGeneratedCertificate)
{
    TempDir dir;
    SelfSignedCert cert = MakeSelfSignedCert(dir.Path());
    HttpPeer peer({{.path = "/s", .body = "sealed"}},
                  {.tlsCertFile = cert.certFile, .tlsKeyFile = cert.keyFile});
    ASSERT_EQ(peer.BaseUrl().rfind("https://127.0.0.1:", 0), 0u);

    CurlResult trusted = Fetch(peer.Url("/s"), Options({}, {{CURLOPT_CAINFO, cert.certFile.c_str()}}));
    EXPECT_EQ(trusted.code, CURLE_OK) << curl_easy_strerror(trusted.code);
    EXPECT_EQ(trusted.body, "sealed");
    auto requests = peer.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_TRUE(requests[0].tls);

    CurlResult untrusted = Fetch(peer.Url("/s"), Options({}, {{CURLOPT_CAINFO, "/dev/null"}}));
    EXPECT_NE(untrusted.code, CURLE_OK);
    EXPECT_EQ(peer.Requests().size(), 1u);
}

}  // namespace
