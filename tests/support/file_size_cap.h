// Provoking write failures as any user, root included: a forked child whose
// files cannot grow past a cap, where a write past it fails with EFBIG.
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstddef>
#include <functional>
#include <string>

namespace testsupport {

// Runs `body` in the capped child and returns the text it gave back; empty
// when the child could not start or report.
inline std::string InChildWithFileSizeCap(std::size_t cap, const std::function<std::string()>& body)
{
    int channel[2];
    if (::pipe(channel) != 0) return {};
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(channel[0]);
        ::close(channel[1]);
        return {};
    }
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const struct rlimit limit = {cap, cap};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const std::string told = body();
        ::_exit(::write(channel[1], told.data(), told.size()) == static_cast<ssize_t>(told.size()) ? 0 : 1);
    }
    ::close(channel[1]);
    std::string told;
    char piece[256];
    for (ssize_t got; (got = ::read(channel[0], piece, sizeof piece)) > 0;) told.append(piece, got);
    ::close(channel[0]);
    ::waitpid(child, nullptr, 0);
    return told;
}

}  // namespace testsupport
