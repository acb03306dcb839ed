#include "tests/support/unusable_places.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <utility>

#include "platform/posix/unique_fd.h"
#include "tests/support/loopback_address.h"

namespace testsupport {

int ClosedLoopbackPort()
{
    const CUniqueFd probe(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!probe.IsOpen()) throw std::system_error(errno, std::generic_category(), "socket");
    sockaddr_in address = LoopbackAddress(0);
    if (::bind(probe.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        throw std::system_error(errno, std::generic_category(), "bind");
    socklen_t length = sizeof address;
    ::getsockname(probe.Get(), reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin_port);
}

bool SetImmutable(const std::string& path, bool on)
{
    const CUniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.IsOpen()) return false;
    int flags = 0;
    if (::ioctl(fd.Get(), FS_IOC_GETFLAGS, &flags) != 0) return false;
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    return ::ioctl(fd.Get(), FS_IOC_SETFLAGS, &flags) == 0;
}

UnwritableFolder::UnwritableFolder(std::string path) : mPath(std::move(path))
{
    // Permissions do not stop root; the immutable flag does.
    if (::geteuid() == 0) mReady = mImmutable = SetImmutable(mPath, true);
    else mReady = ::chmod(mPath.c_str(), 0555) == 0;
}

UnwritableFolder::~UnwritableFolder()
{
    if (!mReady) return;
    if (mImmutable) SetImmutable(mPath, false);
    else ::chmod(mPath.c_str(), 0755);
}

}  // namespace testsupport
