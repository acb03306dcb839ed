// A test peer's process: started without a shell, in a process group of its
// own, with a standard input pipe that stays open while the test runs (the
// peers exit when it closes), and killed and reaped with this object.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <sys/types.h>

#include "platform/posix/unique_fd.h"

namespace testsupport {

// The interpreter the Python peers run under (it sees Debian's modules).
inline constexpr const char* kPeerPython = "/usr/bin/python3";

// The path of a script in tests/peers/.
std::string PeerScriptPath(std::string_view scriptName);
// {python, -I, -B, script, args...}: argv for a Python peer.
std::vector<std::string> PythonPeerArgv(std::string_view scriptName, std::vector<std::string> args);

class PeerProcess {
public:
    // Starts argv[0] (an absolute path) with argv; stdout is a pipe read by
    // ReadPortLine, stderr is the test's. Throws std::runtime_error.
    explicit PeerProcess(std::vector<std::string> argv);
    ~PeerProcess();
    PeerProcess(const PeerProcess&) = delete;
    PeerProcess& operator=(const PeerProcess&) = delete;

    // Reads the first line, "PORT n", and returns n. Throws when the line
    // does not come in time, is something else, or the program exits.
    int ReadPortLine(std::chrono::milliseconds timeout = std::chrono::seconds(20));
    // Reads the first line, whatever it says (without its line end). Throws
    // when it does not come in time or the program exits.
    std::string ReadFirstLine(std::chrono::milliseconds timeout = std::chrono::seconds(20));

    // True until the program exits (the exit is seen, not yet reaped, so the
    // process group stays ours to kill).
    bool Running() const;
    pid_t Pid() const { return mPid; }
    const std::vector<std::string>& Argv() const { return mArgv; }

    // Closes the program's standard input: a peer takes that as its cue to exit.
    void CloseStdin();
    // Waits up to `timeout` for the program to exit; true when it has.
    bool WaitForExit(std::chrono::milliseconds timeout) const;

    // Closes stdin, kills the whole process group and reaps the program.
    // Returns its wait status; safe to call twice.
    int Stop();

private:
    std::string ProgramName() const;
    std::string ReadLine(std::chrono::milliseconds timeout, const std::string& awaited, const std::string& beforeWhat);

    std::vector<std::string> mArgv;
    pid_t mPid = -1;
    CUniqueFd mStdinFd;
    CUniqueFd mStdoutFd;
    std::optional<int> mWaitStatus;
};

// Runs argv to completion with stdin from /dev/null and stdout and stderr
// into `outputFile` ("/dev/null" to drop them); kills it after `timeout`.
// Returns the wait status. Throws when it cannot start.
int RunProgram(const std::vector<std::string>& argv, const std::string& outputFile,
               std::chrono::milliseconds timeout = std::chrono::seconds(30));

// "exit 3", "signal 9": a wait status for messages.
std::string DescribeWaitStatus(int status);

}  // namespace testsupport
