#include "platform/posix/plain_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <utility>

#include "platform/posix/errno_status.h"

int OpenPlainFile(const char* path, int flags, mode_t mode, CUniqueFd& out)
{
    out.Reset();
    // O_NONBLOCK keeps a pipe from holding the open until its other end
    // comes (a write-only open then fails with ENXIO). On a plain file it
    // fails only while another program holds a lease: that open waits for
    // the lease to be given up, as a blocking one would, since a pipe never
    // answers EWOULDBLOCK.
    CUniqueFd fd(::open(path, flags | O_NONBLOCK | O_CLOEXEC, mode));
    if (!fd.IsOpen() && errno == EWOULDBLOCK) fd.Reset(::open(path, (flags & ~O_NONBLOCK) | O_CLOEXEC, mode));
    if (!fd.IsOpen()) return errno == ENXIO ? -EINVAL : ErrnoStatus();
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0) return ErrnoStatus();
    if (S_ISDIR(info.st_mode)) return -EISDIR;
    if (!S_ISREG(info.st_mode)) return -EINVAL;
    const int now = ::fcntl(fd.Get(), F_GETFL);
    if (now < 0 || ((now & O_NONBLOCK) != 0 && ::fcntl(fd.Get(), F_SETFL, now & ~O_NONBLOCK) != 0))
        return ErrnoStatus();
    out = std::move(fd);
    return 0;
}
