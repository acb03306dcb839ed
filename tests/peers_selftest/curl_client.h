// libcurl's easy interface, wrapped just enough to drive the peers.
#pragma once

#include <curl/curl.h>

#include <functional>
#include <string>

struct CurlResult {
    CURLcode code = CURLE_OK;
    long status = 0;
    std::string head;  // every header line as received, interim blocks too
    std::string body;
    double seconds = 0;
    std::string effectiveUrl;
    long newConnections = 0;  // 0 when an open connection was reused
};

using CurlConfigure = std::function<void(CURL*)>;

// One easy handle; transfers through the same session may reuse a connection.
class CurlSession {
public:
    CurlSession();
    ~CurlSession();
    CurlSession(const CurlSession&) = delete;
    CurlSession& operator=(const CurlSession&) = delete;

    // A 10-second limit unless `configure` sets another.
    CurlResult Perform(const std::string& url, const CurlConfigure& configure = {});

private:
    CURL* mHandle;
};

CurlResult Fetch(const std::string& url, const CurlConfigure& configure = {});
