// The scripted TCP peer (tests/peers/tcp_script_peer.py): follows an exact
// transcript of sends and expected lines on every connection, for protocol
// tests that need a server to misbehave precisely.
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/peer_process.h"
#include "tests/support/temp_dir.h"

namespace testsupport {

struct TcpStep {
    enum class Kind { kSend, kExpect, kReadUntil, kSleep, kNeverAnswer, kCloseNow };
    Kind kind = Kind::kSend;
    std::string text{};
    double seconds = 0;

    static TcpStep Send(std::string text) { return {Kind::kSend, std::move(text)}; }
    // One line that must start with `prefix`; any other ends the connection.
    static TcpStep Expect(std::string prefix) { return {Kind::kExpect, std::move(prefix)}; }
    // Lines up to one that equals `line` (line end left out).
    static TcpStep ReadUntil(std::string line) { return {Kind::kReadUntil, std::move(line)}; }
    static TcpStep Sleep(double seconds) { return {Kind::kSleep, {}, seconds}; }
    // Reads and records until the client closes; answers nothing.
    static TcpStep NeverAnswer() { return {Kind::kNeverAnswer}; }
    static TcpStep CloseNow() { return {Kind::kCloseNow}; }
};

struct TcpPeerConnection {
    int id = 0;
    std::vector<std::string> lines{};  // received, each with its line end
    int mismatchStep = -1;             // index of the Expect that failed
    bool ended = false;
    std::string endReason{};           // "done", "closed by script", "client closed", "mismatch"
};

class ScriptedTcpPeer {
public:
    explicit ScriptedTcpPeer(const std::vector<TcpStep>& steps, double lifetimeSeconds = 120);

    int Port() const { return mPort; }
    // Every connection accepted so far, in order.
    std::vector<TcpPeerConnection> Connections() const;
    // Waits until `count` connections have ended; false on time-out.
    bool WaitForEnded(std::size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(5)) const;

    PeerProcess& Process() { return *mProcess; }

private:
    TempDir mDir;
    std::unique_ptr<PeerProcess> mProcess;
    int mPort = 0;
};

}  // namespace testsupport
