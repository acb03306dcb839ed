// Helpers of the net tests: Python peers given as inline scripts, a
// self-signed certificate for chosen names, and a sink that records what a
// transfer reports. Folders and processes come from tests/support.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <sys/types.h>

#include "platform/net/transfer_sink.h"
#include "tests/support/peer_process.h"
#include "tests/support/temp_dir.h"

namespace nettest {

using TempFolder = testsupport::TempDir;

// /usr/bin/python3 running `script`; the script prints "PORT <n>" first and
// exits when its standard input closes (or after its own lifetime).
class PythonPeer {
public:
    PythonPeer(const std::string& script, const std::vector<std::string>& arguments);

    bool Started() const { return port_ != 0; }
    std::uint16_t Port() const { return port_; }

private:
    std::unique_ptr<testsupport::PeerProcess> process_;
    std::uint16_t port_ = 0;
};

// Prologue for peer scripts: exit when stdin closes or after 60 seconds.
extern const char* const kPeerLifetimePrologue;

// Makes <stem>.pem and <stem>-key.pem in `folder`, valid for `names`
// (a subjectAltName list).
bool MakeSelfSignedCertificate(const TempFolder& folder, const std::string& stem = "cert",
                               const std::string& names = "DNS:localhost,IP:127.0.0.1");

// Records every event of one transfer; safe to wait on from another thread.
class RecordingSink : public net::TransferSink {
public:
    void OnResponseHeader(int statusCode, std::string_view rawHeader) override;
    bool OnBodyBytes(const char* data, std::size_t size) override;
    void OnProgress(std::uint64_t received, std::int64_t expected) override;
    void OnFinished(const net::TransferResult& result) override;

    bool WaitFinished(std::chrono::milliseconds timeout);
    // Blocks until at least `bytes` body bytes arrived (or timeout).
    bool WaitBody(std::size_t bytes, std::chrono::milliseconds timeout);

    // Refuse the body once this many bytes arrived.
    std::size_t refuseAfter = static_cast<std::size_t>(-1);
    // Called (on the transfer thread) after each body chunk.
    std::function<void()> afterBody;

    // Read these after WaitFinished.
    int headerCalls = 0;
    int headerStatus = 0;
    std::string header;
    std::string body;
    std::vector<std::pair<std::uint64_t, std::int64_t>> progress;
    std::optional<net::TransferResult> result;
    int finishCalls = 0;
    std::thread::id finishThread;
    std::chrono::steady_clock::time_point finishedAt;

private:
    std::mutex mutex_;
    std::condition_variable changed_;
};

}  // namespace nettest
