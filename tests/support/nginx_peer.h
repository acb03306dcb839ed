// nginx serving a folder on 127.0.0.1, for static sites and benchmarks.
// It runs in the foreground as one process with a generated configuration;
// its pid, logs and temporary files all stay in the peer's own folder.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "tests/support/peer_process.h"
#include "tests/support/temp_dir.h"

namespace testsupport {

class NginxPeer {
public:
    // Serves `root`, with more directives of the server block when given
    // ("autoindex on;", locations); throws when nginx cannot be started.
    explicit NginxPeer(std::string root, double lifetimeSeconds = 120, std::string serverDirectives = {});

    int Port() const { return mPort; }
    // "http://127.0.0.1:PORT".
    std::string BaseUrl() const;
    std::string Url(std::string_view pathAndQuery) const;
    // nginx's access log with every request answered so far, and its error
    // log.
    std::string AccessLog() const;
    std::string ErrorLog() const;

    PeerProcess& Process() { return *mProcess; }

private:
    bool TryStart(const std::string& root, double lifetimeSeconds, int port);

    std::string mServerDirectives;

    TempDir mDir;
    std::string mReadyToken;
    std::unique_ptr<PeerProcess> mProcess;
    int mPort = 0;
};

}  // namespace testsupport
