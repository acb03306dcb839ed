// The read-only FTP peer (tests/peers/ftp_peer.py): serves a folder on
// 127.0.0.1 to the anonymous login and to one user.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "tests/support/peer_process.h"

namespace testsupport {

class FtpPeer {
public:
    explicit FtpPeer(std::string root, std::string user = "tester", std::string password = "secret",
                     double lifetimeSeconds = 120);

    int Port() const { return mPort; }
    // "ftp://127.0.0.1:PORT" (anonymous).
    std::string BaseUrl() const;
    // BaseUrl() + path.
    std::string Url(std::string_view path) const;
    const std::string& User() const { return mUser; }
    const std::string& Password() const { return mPassword; }

    PeerProcess& Process() { return *mProcess; }

private:
    std::string mUser;
    std::string mPassword;
    std::unique_ptr<PeerProcess> mProcess;
    int mPort = 0;
};

}  // namespace testsupport
