#include "platform/net/socket_wait.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace net::detail {

NetStatus WaitForSocket(int fd, short events, std::chrono::steady_clock::time_point deadline)
{
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return NetStatus::Failure(NetError::kTimedOut, "timed out");
        pollfd entry{fd, events, 0};
        // Round up so that a sub-millisecond remainder still waits.
        const int rc = poll(&entry, 1, static_cast<int>(std::min<long long>(left.count() + 1, 1 << 30)));
        if (rc > 0) return NetStatus::Ok();  // errors and hang-ups show in the next call
        if (rc < 0 && errno != EINTR) return NetStatus::Failure(NetError::kIo, "poll: " + ErrnoText(errno));
    }
}

std::string ErrnoText(int error)
{
    char buffer[256];
    // The GNU strerror_r returns the text, which may not be in `buffer`.
    return strerror_r(error, buffer, sizeof buffer);
}

}  // namespace net::detail
