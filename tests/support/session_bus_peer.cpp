#include "tests/support/session_bus_peer.h"

#include <stdexcept>

namespace testsupport {

SessionBusPeer::SessionBusPeer(double lifetimeSeconds)
{
    // The daemon announces its address once it listens.
    mProcess = std::make_unique<PeerProcess>(
        PythonPeerArgv("bounded_run.py", {"--lifetime", std::to_string(lifetimeSeconds), "--", "/usr/bin/dbus-daemon",
                                          "--session", "--nofork", "--nopidfile", "--print-address"}));
    mAddress = mProcess->ReadFirstLine();
    if (mAddress.rfind("unix:", 0) != 0) throw std::runtime_error("dbus-daemon announced \"" + mAddress + "\"");
}

}  // namespace testsupport
