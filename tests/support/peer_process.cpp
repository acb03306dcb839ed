#include "tests/support/peer_process.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <iterator>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace testsupport {

namespace {

using Clock = std::chrono::steady_clock;

[[noreturn]] void ThrowErrno(int error, const std::string& what)
{
    throw std::system_error(error, std::generic_category(), what);
}

std::vector<char*> CArgv(const std::vector<std::string>& argv)
{
    std::vector<char*> pointers;
    for (const auto& arg : argv) pointers.push_back(const_cast<char*>(arg.c_str()));
    pointers.push_back(nullptr);
    return pointers;
}

// Spawn attributes every peer gets: its own process group, default signal
// dispositions and an empty signal mask whatever the test runner set.
class SpawnAttributes {
public:
    SpawnAttributes()
    {
        posix_spawnattr_init(&mAttr);
        sigset_t all;
        sigset_t none;
        sigfillset(&all);
        sigemptyset(&none);
        posix_spawnattr_setsigdefault(&mAttr, &all);
        posix_spawnattr_setsigmask(&mAttr, &none);
        posix_spawnattr_setpgroup(&mAttr, 0);
        posix_spawnattr_setflags(&mAttr, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    }
    ~SpawnAttributes() { posix_spawnattr_destroy(&mAttr); }
    const posix_spawnattr_t* Get() const { return &mAttr; }

private:
    posix_spawnattr_t mAttr;
};

class FileActions {
public:
    FileActions() { posix_spawn_file_actions_init(&mActions); }
    ~FileActions() { posix_spawn_file_actions_destroy(&mActions); }
    void Dup(int from, int to) { posix_spawn_file_actions_adddup2(&mActions, from, to); }
    void Open(int fd, const std::string& path, int flags)
    {
        posix_spawn_file_actions_addopen(&mActions, fd, path.c_str(), flags, 0644);
    }
    const posix_spawn_file_actions_t* Get() const { return &mActions; }

private:
    posix_spawn_file_actions_t mActions;
};

pid_t Spawn(const std::vector<std::string>& argv, const FileActions& actions)
{
    if (argv.empty()) throw std::runtime_error("no program to start");
    SpawnAttributes attributes;
    std::vector<char*> cArgv = CArgv(argv);
    pid_t pid = -1;
    int error = posix_spawn(&pid, argv[0].c_str(), actions.Get(), attributes.Get(), cArgv.data(), environ);
    if (error != 0) ThrowErrno(error, "cannot start " + argv[0]);
    return pid;
}

int ReapBlocking(pid_t pid)
{
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    return status;
}

// Waits for the exit without reaping it: until then the pid (and so the
// process group id) cannot be given to anyone else.
bool HasExited(pid_t pid)
{
    siginfo_t info{};
    if (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) < 0) return true;
    return info.si_pid == pid;
}

}  // namespace

std::string PeerScriptPath(std::string_view scriptName)
{
    std::string path = TIDEWELL_TEST_PEERS;
    path += '/';
    path += scriptName;
    return path;
}

std::vector<std::string> PythonPeerArgv(std::string_view scriptName, std::vector<std::string> args)
{
    // Isolated (-I): no user site or PYTHON* variables; -B: no bytecode in the tree.
    std::vector<std::string> argv = {kPeerPython, "-I", "-B", PeerScriptPath(scriptName)};
    argv.insert(argv.end(), std::make_move_iterator(args.begin()), std::make_move_iterator(args.end()));
    return argv;
}

std::string DescribeWaitStatus(int status)
{
    if (WIFEXITED(status)) return "exit " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status)) return "signal " + std::to_string(WTERMSIG(status));
    return "status " + std::to_string(status);
}

PeerProcess::PeerProcess(std::vector<std::string> argv) : mArgv(std::move(argv))
{
    int stdinPipe[2];
    int stdoutPipe[2];
    if (pipe2(stdinPipe, O_CLOEXEC) != 0) ThrowErrno(errno, "pipe");
    CUniqueFd childStdin(stdinPipe[0]);
    CUniqueFd stdinWrite(stdinPipe[1]);
    if (pipe2(stdoutPipe, O_CLOEXEC) != 0) ThrowErrno(errno, "pipe");
    CUniqueFd stdoutRead(stdoutPipe[0]);
    CUniqueFd childStdout(stdoutPipe[1]);
    FileActions actions;
    actions.Dup(childStdin.Get(), STDIN_FILENO);
    actions.Dup(childStdout.Get(), STDOUT_FILENO);
    mPid = Spawn(mArgv, actions);
    mStdinFd = std::move(stdinWrite);
    mStdoutFd = std::move(stdoutRead);
}

PeerProcess::~PeerProcess()
{
    Stop();
}

int PeerProcess::ReadPortLine(std::chrono::milliseconds timeout)
{
    const std::string line = ReadLine(timeout, "PORT line", "announcing its port");
    int port = 0;
    if (line.rfind("PORT ", 0) != 0 || (port = std::atoi(line.c_str() + 5)) <= 0 || port > 65535)
        throw std::runtime_error("expected \"PORT n\", got \"" + line + "\"");
    return port;
}

std::string PeerProcess::ReadFirstLine(std::chrono::milliseconds timeout)
{
    return ReadLine(timeout, "first line", "its first line");
}

std::string PeerProcess::ReadLine(std::chrono::milliseconds timeout, const std::string& awaited,
                                  const std::string& beforeWhat)
{
    const auto deadline = Clock::now() + timeout;
    std::string line;
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            throw std::runtime_error(ProgramName() + ": no " + awaited + " in time");
        pollfd watch{mStdoutFd.Get(), POLLIN, 0};
        int ready = poll(&watch, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0) ThrowErrno(errno, "poll");
        if (ready == 0) continue;
        char c;
        ssize_t count = read(mStdoutFd.Get(), &c, 1);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) {
            int status = Stop();
            throw std::runtime_error(ProgramName() + " exited before " + beforeWhat + " (" +
                                     DescribeWaitStatus(status) + ")");
        }
        if (c == '\n') return line;
        if (line.size() > 1000) throw std::runtime_error("first line too long: " + line);
        line += c;
    }
}

std::string PeerProcess::ProgramName() const
{
    // For a Python peer the script names the program better than the interpreter.
    if (mArgv.size() > 3 && mArgv[0] == kPeerPython) return mArgv[3];
    return mArgv.empty() ? std::string() : mArgv[0];
}

bool PeerProcess::Running() const
{
    return !mWaitStatus && mPid > 0 && !HasExited(mPid);
}

void PeerProcess::CloseStdin()
{
    mStdinFd.Reset();
}

bool PeerProcess::WaitForExit(std::chrono::milliseconds timeout) const
{
    const auto deadline = Clock::now() + timeout;
    while (Running()) {
        if (Clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

int PeerProcess::Stop()
{
    CloseStdin();
    if (mPid > 0 && !mWaitStatus) {
        // The group takes helpers the peer started (nginx under its watchdog).
        kill(-mPid, SIGKILL);
        kill(mPid, SIGKILL);
        mWaitStatus = ReapBlocking(mPid);
    }
    mStdoutFd.Reset();
    return mWaitStatus.value_or(-1);
}

int RunProgram(const std::vector<std::string>& argv, const std::string& outputFile,
               std::chrono::milliseconds timeout)
{
    FileActions actions;
    actions.Open(STDIN_FILENO, "/dev/null", O_RDONLY);
    actions.Open(STDOUT_FILENO, outputFile, O_WRONLY | O_CREAT | O_TRUNC);
    actions.Dup(STDOUT_FILENO, STDERR_FILENO);
    pid_t pid = Spawn(argv, actions);
    const auto deadline = Clock::now() + timeout;
    while (!HasExited(pid) && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    kill(-pid, SIGKILL);
    return ReapBlocking(pid);
}

}  // namespace testsupport
