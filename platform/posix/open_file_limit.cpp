#include "platform/posix/open_file_limit.h"

#include <sys/resource.h>

#include <algorithm>

std::size_t RaiseOpenFileLimit(std::size_t wanted)
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return 0;
    const rlim_t ceiling = limit.rlim_max == RLIM_INFINITY ? static_cast<rlim_t>(wanted)
                                                           : std::min(limit.rlim_max, static_cast<rlim_t>(wanted));
    if (limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur < ceiling) {
        const rlim_t before = limit.rlim_cur;
        limit.rlim_cur = ceiling;
        if (::setrlimit(RLIMIT_NOFILE, &limit) != 0) limit.rlim_cur = before;
    }
    return limit.rlim_cur == RLIM_INFINITY ? wanted : static_cast<std::size_t>(limit.rlim_cur);
}
