#include "engine/config/private_file_write.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "foundation/files/unique_fd.h"

namespace {

int ErrnoStatus() { return errno > 0 ? -errno : -EIO; }

int WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        ssize_t wrote = ::write(fd, bytes.data(), bytes.size());
        if (wrote < 0) {
            if (errno == EINTR) continue;
            return ErrnoStatus();
        }
        bytes.remove_prefix(static_cast<std::size_t>(wrote));
    }
    return 0;
}

int CreateTemporary(int folder, std::string& name, CUniqueFd& fd)
{
    for (int attempt = 0; attempt < 16; ++attempt) {
        unsigned char random[8];
        if (::getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random)) return ErrnoStatus();
        char text[40];
        std::snprintf(text, sizeof text, ".cfg-%02x%02x%02x%02x%02x%02x%02x%02x.tmp", random[0], random[1],
                      random[2], random[3], random[4], random[5], random[6], random[7]);
        fd.Reset(::openat(folder, text, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (fd.IsOpen()) {
            name = text;
            return 0;
        }
        if (errno != EEXIST) return ErrnoStatus();
    }
    return -EEXIST;
}

// Puts the temporary file in place without replacing anything; file systems
// without the no-replace rename get a hard link and an unlink.
int PlaceWithoutReplacing(int folder, const std::string& from, const std::string& to)
{
    if (::renameat2(folder, from.c_str(), folder, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return ErrnoStatus();
    if (::linkat(folder, from.c_str(), folder, to.c_str(), 0) != 0) return ErrnoStatus();
    ::unlinkat(folder, from.c_str(), 0);
    return 0;
}

}  // namespace

int WritePrivateFile(const std::string& folderPath, const std::string& name, std::string_view bytes, bool replace)
{
    if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..") return -EINVAL;
    CUniqueFd folder(::open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.IsOpen()) return ErrnoStatus();

    std::string temporaryName;
    CUniqueFd temporary;
    int status = CreateTemporary(folder.Get(), temporaryName, temporary);
    if (status != 0) return status;
    status = WriteAll(temporary.Get(), bytes);
    // The umask may have taken the owner's bits away.
    if (status == 0 && ::fchmod(temporary.Get(), 0600) != 0) status = ErrnoStatus();
    if (status == 0 && ::fsync(temporary.Get()) != 0) status = ErrnoStatus();
    if (status == 0 && ::close(temporary.Release()) != 0) status = ErrnoStatus();
    if (status == 0) {
        if (replace) {
            if (::renameat(folder.Get(), temporaryName.c_str(), folder.Get(), name.c_str()) != 0)
                status = ErrnoStatus();
        } else {
            status = PlaceWithoutReplacing(folder.Get(), temporaryName, name);
        }
    }
    if (status != 0) {
        ::unlinkat(folder.Get(), temporaryName.c_str(), 0);
        return status;
    }
    ::fsync(folder.Get());
    return 0;
}
