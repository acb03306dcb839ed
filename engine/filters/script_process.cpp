#include "engine/filters/script_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/posix/errno_status.h"
#include "platform/posix/unique_fd.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

std::string_view NameOf(std::string_view entry) { return entry.substr(0, entry.find('=')); }

// This process's environment without the names `extra` sets, then `extra`.
std::vector<std::string> MergedEnvironment(const std::vector<std::string>& extra)
{
    std::vector<std::string> merged;
    for (char** entry = environ; entry && *entry; ++entry) {
        std::string_view name = NameOf(*entry);
        bool replaced = std::any_of(extra.begin(), extra.end(),
                                    [&](const std::string& mine) { return NameOf(mine) == name; });
        if (!replaced) merged.emplace_back(*entry);
    }
    merged.insert(merged.end(), extra.begin(), extra.end());
    return merged;
}

class CSpawnSetup {
public:
    CSpawnSetup()
    {
        posix_spawn_file_actions_init(&mActions);
        posix_spawnattr_init(&mAttributes);
    }
    ~CSpawnSetup()
    {
        posix_spawn_file_actions_destroy(&mActions);
        posix_spawnattr_destroy(&mAttributes);
    }
    CSpawnSetup(const CSpawnSetup&) = delete;
    CSpawnSetup& operator=(const CSpawnSetup&) = delete;

    // Standard input from `inputFd`, output and errors to /dev/null, nothing
    // else open; own process group, default signal handling, nothing blocked.
    int Prepare(int inputFd)
    {
        int status = posix_spawn_file_actions_adddup2(&mActions, inputFd, STDIN_FILENO);
        if (status == 0) status = posix_spawn_file_actions_addopen(&mActions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        if (status == 0) status = posix_spawn_file_actions_addopen(&mActions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        if (status == 0) status = posix_spawn_file_actions_addclosefrom_np(&mActions, STDERR_FILENO + 1);
        sigset_t none, defaults;
        sigemptyset(&none);
        sigemptyset(&defaults);
        for (int sig : {SIGPIPE, SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGALRM, SIGCHLD, SIGUSR1, SIGUSR2})
            sigaddset(&defaults, sig);
        if (status == 0)
            status = posix_spawnattr_setflags(&mAttributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK |
                                                                POSIX_SPAWN_SETSIGDEF);
        if (status == 0) status = posix_spawnattr_setpgroup(&mAttributes, 0);
        if (status == 0) status = posix_spawnattr_setsigmask(&mAttributes, &none);
        if (status == 0) status = posix_spawnattr_setsigdefault(&mAttributes, &defaults);
        return status;
    }

    const posix_spawn_file_actions_t* Actions() const { return &mActions; }
    const posix_spawnattr_t* Attributes() const { return &mAttributes; }

private:
    posix_spawn_file_actions_t mActions;
    posix_spawnattr_t mAttributes;
};

int ExitCodeOf(int waitStatus)
{
    if (WIFEXITED(waitStatus)) return WEXITSTATUS(waitStatus);
    if (WIFSIGNALED(waitStatus)) return 128 + WTERMSIG(waitStatus);
    return -1;
}

// Reaps the child; true once it has ended. A process that ignores SIGCHLD
// has its children reaped by the kernel: ECHILD then means it has ended.
bool Reap(pid_t child, bool wait, int& waitStatus)
{
    for (;;) {
        pid_t got = ::waitpid(child, &waitStatus, wait ? 0 : WNOHANG);
        if (got == child) return true;
        if (got < 0 && errno == EINTR) continue;
        if (got < 0 && errno == ECHILD) {
            waitStatus = 0;
            return true;
        }
        return false;
    }
}

// Feeds `input` to the child and waits for its end, whichever comes first
// being no reason to stop the other: a child may exit without reading.
int Supervise(pid_t child, CUniqueFd& input, std::string_view bytes, Clock::time_point deadline, int& waitStatus)
{
    CUniqueFd exitFd(static_cast<int>(::syscall(SYS_pidfd_open, child, 0)));
    std::size_t sent = 0;
    if (bytes.empty()) input.Reset();
    for (;;) {
        if (Reap(child, false, waitStatus)) return 0;
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            ::kill(-child, SIGKILL);
            Reap(child, true, waitStatus);
            return -ETIMEDOUT;
        }
        pollfd watched[2];
        nfds_t count = 0;
        if (exitFd.IsOpen()) watched[count++] = {exitFd.Get(), POLLIN, 0};
        if (input.IsOpen()) watched[count++] = {input.Get(), POLLOUT, 0};
        // Without a process descriptor (old kernels) the end is noticed by a
        // short poll.
        int wait = exitFd.IsOpen() ? static_cast<int>(std::min<long long>(left, 60000)) : 20;
        if (::poll(watched, count, static_cast<int>(std::min<long long>(wait, left))) < 0 && errno != EINTR) {
            const int failure = ErrnoStatus();
            ::kill(-child, SIGKILL);
            Reap(child, true, waitStatus);
            return failure;
        }
        if (!input.IsOpen()) continue;
        ssize_t wrote = ::send(input.Get(), bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (wrote > 0) sent += static_cast<std::size_t>(wrote);
        if (sent == bytes.size() || (wrote < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR))
            input.Reset();  // all sent, or the child stopped reading
    }
}

}  // namespace

int RunProgramWithInput(const std::string& path, const std::vector<std::string>& environment,
                        std::string_view input, std::chrono::milliseconds timeout, int* exitCode)
{
    return RunProgramWithArguments({path}, environment, input, timeout, exitCode);
}

int RunProgramWithArguments(const std::vector<std::string>& arguments, const std::vector<std::string>& environment,
                            std::string_view input, std::chrono::milliseconds timeout, int* exitCode)
{
    if (arguments.empty() || arguments.front().empty()) return -EINVAL;
    Clock::time_point deadline = Clock::now() + timeout;
    int sockets[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sockets) != 0) return ErrnoStatus();
    CUniqueFd ours(sockets[0]);
    CUniqueFd theirs(sockets[1]);

    CSpawnSetup setup;
    int status = setup.Prepare(theirs.Get());
    if (status != 0) return -status;

    std::vector<std::string> merged = MergedEnvironment(environment);
    std::vector<char*> envp;
    for (std::string& entry : merged) envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::vector<std::string> owned = arguments;
    std::vector<char*> argv;
    for (std::string& argument : owned) argv.push_back(argument.data());
    argv.push_back(nullptr);

    pid_t child = -1;
    status = ::posix_spawn(&child, argv[0], setup.Actions(), setup.Attributes(), argv.data(), envp.data());
    theirs.Reset();
    if (status != 0) return -status;

    int waitStatus = 0;
    status = Supervise(child, ours, input, deadline, waitStatus);
    if (status == 0 && exitCode) *exitCode = ExitCodeOf(waitStatus);
    return status;
}
