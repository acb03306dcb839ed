#include "platform/launch/program_launcher.h"

#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

std::mutex gSpawnerLock;
ProgramSpawner gSpawner;

// posix_spawn attributes and file actions that live as long as one spawn.
class CSpawnSetup {
public:
    CSpawnSetup()
    {
        posix_spawnattr_init(&mAttributes);
        posix_spawn_file_actions_init(&mActions);
    }
    ~CSpawnSetup()
    {
        posix_spawn_file_actions_destroy(&mActions);
        posix_spawnattr_destroy(&mAttributes);
    }
    CSpawnSetup(const CSpawnSetup&) = delete;
    CSpawnSetup& operator=(const CSpawnSetup&) = delete;

    int Prepare()
    {
        // A launched browser must outlive us and must not share our
        // terminal, our blocked signals or our ignored ones.
        sigset_t none;
        sigset_t all;
        sigemptyset(&none);
        sigfillset(&all);
        int error = posix_spawnattr_setsigmask(&mAttributes, &none);
        if (error == 0) error = posix_spawnattr_setsigdefault(&mAttributes, &all);
        if (error == 0)
            error = posix_spawnattr_setflags(&mAttributes,
                                             POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSID);
        if (error == 0) error = posix_spawn_file_actions_addopen(&mActions, 0, "/dev/null", O_RDONLY, 0);
        if (error == 0) error = posix_spawn_file_actions_addopen(&mActions, 1, "/dev/null", O_WRONLY, 0);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
        // Sockets and files of ours that lack O_CLOEXEC stay ours.
        if (error == 0) error = posix_spawn_file_actions_addclosefrom_np(&mActions, 3);
#endif
        return error;
    }

    const posix_spawnattr_t* Attributes() const { return &mAttributes; }
    const posix_spawn_file_actions_t* Actions() const { return &mActions; }

private:
    posix_spawnattr_t mAttributes;
    posix_spawn_file_actions_t mActions;
};

bool IsSafeTarget(std::string_view target)
{
    if (target.empty() || target.front() == '-') return false;
    for (unsigned char c : target)
        if (c < 0x20 || c == 0x7F) return false;
    return true;
}

}  // namespace

int SpawnProgram(const std::vector<std::string>& argv)
{
    if (argv.empty() || argv.front().empty()) return -EINVAL;
    std::vector<char*> arguments;
    arguments.reserve(argv.size() + 1);
    for (const std::string& argument : argv) arguments.push_back(const_cast<char*>(argument.c_str()));
    arguments.push_back(nullptr);

    CSpawnSetup setup;
    int error = setup.Prepare();
    if (error != 0) return -error;
    pid_t child = 0;
    error = posix_spawnp(&child, arguments[0], setup.Actions(), setup.Attributes(), arguments.data(), environ);
    if (error != 0) return -error;
    // Nobody waits for a launched program's end, but someone must collect it
    // so it does not linger as a zombie.
    std::thread([child] {
        while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return 0;
}

void SetProgramSpawner(ProgramSpawner spawner)
{
    std::lock_guard<std::mutex> hold(gSpawnerLock);
    gSpawner = std::move(spawner);
}

int OpenWithDesktop(std::string_view target)
{
    if (!IsSafeTarget(target)) return -EINVAL;
    std::vector<std::string> argv{"xdg-open", std::string(target)};
    ProgramSpawner spawner;
    {
        std::lock_guard<std::mutex> hold(gSpawnerLock);
        spawner = gSpawner;
    }
    return spawner ? spawner(argv) : SpawnProgram(argv);
}
