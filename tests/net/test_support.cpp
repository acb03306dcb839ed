#include "test_support.h"

#include <sys/wait.h>

#include <exception>

namespace nettest {

const char* const kPeerLifetimePrologue = R"(
import os, sys, threading
def _watch_stdin():
    try:
        while sys.stdin.buffer.read1(4096):
            pass
    except Exception:
        pass
    os._exit(0)
threading.Thread(target=_watch_stdin, daemon=True).start()
_timer = threading.Timer(60, lambda: os._exit(0))
_timer.daemon = True
_timer.start()
)";

PythonPeer::PythonPeer(const std::string& script, const std::vector<std::string>& arguments)
{
    std::vector<std::string> argv = {testsupport::kPeerPython, "-c", std::string(kPeerLifetimePrologue) + script};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    try {
        process_ = std::make_unique<testsupport::PeerProcess>(std::move(argv));
        port_ = static_cast<std::uint16_t>(process_->ReadPortLine(std::chrono::seconds(15)));
    } catch (const std::exception&) {
        port_ = 0;  // Started() says so
    }
}

bool MakeSelfSignedCertificate(const TempFolder& folder, const std::string& stem, const std::string& names)
{
    const int status = testsupport::RunProgram(
        {"/usr/bin/openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
         "-days", "2", "-subj", "/CN=" + stem, "-addext", "subjectAltName=" + names, "-keyout",
         folder.File(stem + "-key.pem"), "-out", folder.File(stem + ".pem")},
        "/dev/null");
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void RecordingSink::OnResponseHeader(int statusCode, std::string_view rawHeader)
{
    std::lock_guard<std::mutex> lock(mutex_);
    ++headerCalls;
    headerStatus = statusCode;
    header = rawHeader;
}

bool RecordingSink::OnBodyBytes(const char* data, std::size_t size)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        body.append(data, size);
        changed_.notify_all();
    }
    if (afterBody) afterBody();
    return body.size() < refuseAfter;
}

void RecordingSink::OnProgress(std::uint64_t received, std::int64_t expected)
{
    std::lock_guard<std::mutex> lock(mutex_);
    progress.emplace_back(received, expected);
}

void RecordingSink::OnFinished(const net::TransferResult& finished)
{
    // Notified under the lock: the waiter may destroy this sink as soon as
    // it sees the result, so nothing here may touch it after the unlock.
    std::lock_guard<std::mutex> lock(mutex_);
    result = finished;
    ++finishCalls;
    finishThread = std::this_thread::get_id();
    finishedAt = std::chrono::steady_clock::now();
    changed_.notify_all();
}

bool RecordingSink::WaitFinished(std::chrono::milliseconds timeout)
{
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return result.has_value(); });
}

bool RecordingSink::WaitBody(std::size_t bytes, std::chrono::milliseconds timeout)
{
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return body.size() >= bytes || result.has_value(); });
}

}  // namespace nettest
