// A private D-Bus session bus (dbus-daemon) for one test, ended with it or
// when its lifetime is over, so that nothing the test sends or hears
// reaches the desktop's own bus.
#pragma once

#include <memory>
#include <string>

#include "tests/support/peer_process.h"

namespace testsupport {

class SessionBusPeer {
public:
    explicit SessionBusPeer(double lifetimeSeconds = 120);

    // What DBUS_SESSION_BUS_ADDRESS names: "unix:path=...,guid=...".
    const std::string& Address() const { return mAddress; }

private:
    std::unique_ptr<PeerProcess> mProcess;
    std::string mAddress;
};

}  // namespace testsupport
