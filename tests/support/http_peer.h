// The scripted HTTP/1.1 peer (tests/peers/http_peer.py) for one test: routes
// written as a script, the server started on 127.0.0.1, its request log read
// back. See http_peer.py for what each route field does.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tests/support/json_value.h"
#include "tests/support/peer_process.h"
#include "tests/support/temp_dir.h"

namespace testsupport {

using HeaderList = std::vector<std::pair<std::string, std::string>>;

struct HttpRealm {
    std::string name{};
    std::string user{};
    std::string password{};
};

struct HttpTrickle {
    std::size_t bytes = 1;
    double delaySeconds = 0.05;
};

// One scripted answer; fields left at their defaults are not written.
// Meant for designated initializers: HttpRoute{.path = "/a", .body = "x"}.
struct HttpRoute {
    std::string method = "GET";                 // "*" for any; GET answers HEAD too
    std::string path{};                         // exact, without the query
    std::optional<std::string> query{};         // raw query that must match
    int status = 0;                             // 0: 200, or 302 with a redirect
    std::string reason{};
    HeaderList headers{};                       // repeat a name to send it twice
    std::string body{};                         // any bytes; "{base}" expands in UTF-8 text
    std::string bodyFile{};                     // instead of body
    bool chunked = false;
    std::string redirect{};                     // Location, relative or absolute
    std::vector<std::string> setCookies{};
    std::string requireCookie{};                // "name" or "name=value"
    std::optional<HttpRealm> realm{};
    int flaky = 0;                              // first N requests get 500
    std::optional<bool> sendContinue{};         // 100 Continue: forced / never
    double stallSeconds = 0;                    // between headers and body
    std::optional<HttpTrickle> trickle{};
    std::optional<std::size_t> closeMidBody{};  // body bytes sent before closing
    bool bareLf = false;                        // LF-only status and header lines
    bool close = false;                         // Connection: close

    JsonValue ToJson() const;
};

struct HttpPeerOptions {
    std::string root{};         // static files served after the routes
    std::string tlsCertFile{};  // both set: HTTPS
    std::string tlsKeyFile{};
    double lifetimeSeconds = 120;
    std::string host = "127.0.0.1";  // another loopback address makes a second host
};

// One request as the peer received it.
struct HttpRequestRecord {
    int connection = 0;  // same number: same TCP connection
    int index = 0;       // order of arrival, from 1
    std::string method{};
    std::string target{};   // as sent: path and query
    std::string path{};
    std::string query{};
    std::string version{};
    HeaderList headers{};
    std::string head{};     // request line and header lines, exact bytes
    std::string body{};     // decoded when it came chunked
    bool tls = false;

    // The first value of a header (names compare ASCII case-blind).
    std::optional<std::string> Header(std::string_view name) const;
    std::vector<std::string> HeaderValues(std::string_view name) const;
};

class HttpPeer {
public:
    // Routes are tried in order. The list form keeps HttpPeer peer({{.path = "/"}})
    // unambiguous.
    explicit HttpPeer(std::initializer_list<HttpRoute> routes, const HttpPeerOptions& options = {});
    explicit HttpPeer(const std::vector<HttpRoute>& routes, const HttpPeerOptions& options = {});

    int Port() const { return mPort; }
    // "http://HOST:PORT" (https with TLS), HOST as in the options.
    std::string BaseUrl() const;
    // BaseUrl() + pathAndQuery.
    std::string Url(std::string_view pathAndQuery) const;

    // Every request received so far, in order of arrival.
    std::vector<HttpRequestRecord> Requests() const;
    // How many requests asked for `target` (path and query), with `method`
    // when one is given.
    int RequestCount(std::string_view target, std::string_view method = {}) const;
    // Connections accepted so far.
    int ConnectionCount() const;

    PeerProcess& Process() { return *mProcess; }

private:
    std::vector<JsonValue> LogRecords() const;

    TempDir mDir;
    bool mTls = false;
    std::string mHost;
    std::unique_ptr<PeerProcess> mProcess;
    int mPort = 0;
};

}  // namespace testsupport
