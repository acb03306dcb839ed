#include "test_support.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

extern char** environ;

namespace nettest {
namespace {

std::vector<char*> ArgumentVector(const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    return argv;
}

// Reads the first line of `fd` within the time-out.
std::string ReadFirstLine(int fd, std::chrono::milliseconds timeout)
{
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (line.find('\n') == std::string::npos) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd entry{fd, POLLIN, 0};
        if (poll(&entry, 1, static_cast<int>(left.count())) <= 0) break;
        char chunk[256];
        const ssize_t got = read(fd, chunk, sizeof chunk);
        if (got <= 0) break;
        line.append(chunk, static_cast<std::size_t>(got));
    }
    return line.substr(0, line.find('\n'));
}

}  // namespace

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

TempFolder::TempFolder()
{
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/net-test-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = pattern;
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void TempFolder::Write(const std::string& name, const std::string& bytes) const
{
    std::ofstream(File(name), std::ios::binary) << bytes;
}

PythonPeer::PythonPeer(const std::string& script, const std::vector<std::string>& arguments)
{
    int input[2];
    int output[2];
    if (pipe2(input, O_CLOEXEC) != 0) return;
    CUniqueFd inputRead(input[0]);
    CUniqueFd inputWrite(input[1]);
    if (pipe2(output, O_CLOEXEC) != 0) return;
    CUniqueFd outputRead(output[0]);
    CUniqueFd outputWrite(output[1]);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, inputRead.Get(), STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, outputWrite.Get(), STDOUT_FILENO);
    std::vector<std::string> all = {"/usr/bin/python3", "-c", std::string(kPeerLifetimePrologue) + script};
    all.insert(all.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv = ArgumentVector(all);
    const int spawned = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    inputRead.Reset();
    outputWrite.Reset();
    stdinFd_ = std::move(inputWrite);
    if (spawned != 0) {
        pid_ = -1;
        return;
    }
    const std::string line = ReadFirstLine(outputRead.Get(), std::chrono::seconds(15));
    if (line.rfind("PORT ", 0) == 0) port_ = static_cast<std::uint16_t>(std::atoi(line.c_str() + 5));
}

PythonPeer::~PythonPeer()
{
    stdinFd_.Reset();
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
    }
}

bool RunProgram(const std::vector<std::string>& arguments)
{
    std::vector<char*> argv = ArgumentVector(arguments);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return false;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool MakeSelfSignedCertificate(const TempFolder& folder, const std::string& stem, const std::string& names)
{
    return RunProgram({"openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                       "-nodes", "-days", "2", "-subj", "/CN=" + stem, "-addext", "subjectAltName=" + names,
                       "-keyout", folder.File(stem + "-key.pem"), "-out", folder.File(stem + ".pem")});
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
