#include "foundation/files/whole_file.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "foundation/files/file_status.h"
#include "foundation/files/unique_fd.h"
#include "platform/xattr/item_attributes.h"

namespace {

template <typename Bytes>
int ReadAll(const CFileRef& file, Bytes& bytes)
{
    bytes.clear();
    if (!file.IsValid()) return -EINVAL;
    CUniqueFd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.IsOpen()) return FileErrnoStatus();
    struct stat info;
    if (::fstat(fd.Get(), &info) != 0) return FileErrnoStatus();
    if (S_ISDIR(info.st_mode)) return -EISDIR;
    if (S_ISREG(info.st_mode) && info.st_size > 0) bytes.reserve(static_cast<std::size_t>(info.st_size));
    char chunk[65536];
    for (;;) {
        ssize_t got = ::read(fd.Get(), chunk, sizeof chunk);
        if (got == 0) return 0;
        if (got < 0) {
            if (errno == EINTR) continue;
            int status = FileErrnoStatus();
            bytes.clear();
            return status;
        }
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
}

int WriteAll(int fd, const void* bytes, std::size_t count)
{
    const char* at = static_cast<const char*>(bytes);
    while (count > 0) {
        ssize_t wrote = ::write(fd, at, count);
        if (wrote < 0) {
            if (errno == EINTR) continue;
            return FileErrnoStatus();
        }
        at += wrote;
        count -= static_cast<std::size_t>(wrote);
    }
    return 0;
}

// A new empty file with an unguessable name in `folder`, created with mode
// 0666 so the kernel applies the umask and the folder's default ACL.
int CreateTemporaryBeside(int folder, std::string& name, CUniqueFd& fd)
{
    for (int attempt = 0; attempt < 16; ++attempt) {
        unsigned char random[8];
        if (::getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random)) return FileErrnoStatus();
        char text[40];
        std::snprintf(text, sizeof text, ".tw-%02x%02x%02x%02x%02x%02x%02x%02x.tmp", random[0], random[1], random[2],
                      random[3], random[4], random[5], random[6], random[7]);
        fd.Reset(::openat(folder, text, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
        if (fd.IsOpen()) {
            name = text;
            return 0;
        }
        if (errno != EEXIST) return FileErrnoStatus();
    }
    return -EEXIST;
}

// Carries the old file's permission bits and labels over to its replacement.
int KeepOldFileTraits(int folder, const char* name, int replacement)
{
    struct stat info;
    if (::fstatat(folder, name, &info, AT_SYMLINK_NOFOLLOW) != 0) return errno == ENOENT ? 0 : FileErrnoStatus();
    if (S_ISDIR(info.st_mode)) return -EISDIR;
    if (!S_ISREG(info.st_mode)) return 0;  // a link or a special file is simply replaced
    CUniqueFd old(::openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!old.IsOpen()) return errno == ENOENT ? 0 : FileErrnoStatus();
    if (::fchmod(replacement, info.st_mode & 07777) != 0) return FileErrnoStatus();
    return CopyUserAttributes(old.Get(), replacement);
}

}  // namespace

int ReadWholeFile(const CFileRef& file, std::string& bytes) { return ReadAll(file, bytes); }

int ReadDataFork(const CFileRef& file, std::vector<std::uint8_t>& bytes) { return ReadAll(file, bytes); }

int WriteWholeFile(const CFileRef& file, const void* bytes, std::size_t count)
{
    if (!file.IsValid() || file.Path() == "/" || (bytes == nullptr && count > 0)) return -EINVAL;
    const std::string& path = file.Path();
    std::size_t slash = path.rfind('/');
    std::string folderPath = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name == "." || name == "..") return -EINVAL;

    CUniqueFd folder(::open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.IsOpen()) return FileErrnoStatus();
    struct stat old;
    if (::fstatat(folder.Get(), name.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISDIR(old.st_mode)) return -EISDIR;  // checked again before the rename
    } else if (errno != ENOENT) {
        return FileErrnoStatus();
    }
    std::string temporaryName;
    CUniqueFd temporary;
    int status = CreateTemporaryBeside(folder.Get(), temporaryName, temporary);
    if (status != 0) return status;

    status = WriteAll(temporary.Get(), bytes, count);
    if (status == 0) status = KeepOldFileTraits(folder.Get(), name.c_str(), temporary.Get());
    if (status == 0 && ::fsync(temporary.Get()) != 0) status = FileErrnoStatus();
    if (status == 0 && ::close(temporary.Release()) != 0) status = FileErrnoStatus();
    if (status == 0 && ::renameat(folder.Get(), temporaryName.c_str(), folder.Get(), name.c_str()) != 0)
        status = FileErrnoStatus();
    // The folder is not flushed: after a crash it shows the old file or the
    // new one, both whole, and a flush per saved page would slow a crawl.
    if (status != 0) ::unlinkat(folder.Get(), temporaryName.c_str(), 0);
    return status;
}
