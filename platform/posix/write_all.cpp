#include "platform/posix/write_all.h"

#include <unistd.h>

#include "platform/posix/errno_status.h"

int WriteAll(int fd, const void* bytes, std::size_t count)
{
    const char* at = static_cast<const char*>(bytes);
    while (count > 0) {
        const ssize_t wrote = ::write(fd, at, count);
        if (wrote < 0) {
            if (errno == EINTR) continue;
            return ErrnoStatus();
        }
        at += wrote;
        count -= static_cast<std::size_t>(wrote);
    }
    return 0;
}
