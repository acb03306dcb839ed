#include "platform/posix/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/posix/errno_status.h"
#include "platform/posix/file_replacement.h"
#include "platform/posix/plain_file.h"
#include "platform/posix/unique_fd.h"
#include "platform/posix/write_all.h"

int WriteFileAtomically(int folder, const char* name, const std::function<int(int fd)>& writeBody,
                        const AtomicWriteOptions& options)
{
    if (name == nullptr || *name == '\0') return -EINVAL;
    CFileReplacement replacement;
    int status = replacement.Begin(folder, options.mode);
    if (status != 0) return status;
    status = writeBody(replacement.Fd());
    // The umask may have taken bits away.
    if (status == 0 && options.exactMode && ::fchmod(replacement.Fd(), options.mode) != 0) status = ErrnoStatus();
    if (status == 0 && options.syncFile && ::fsync(replacement.Fd()) != 0) status = ErrnoStatus();
    if (status == 0) status = replacement.Commit(name, options.replace);
    // The new name itself is durable only once the folder is flushed: a
    // caller that asked for it hears of a failure as of a failed file flush.
    if (status == 0 && options.syncFolder && ::fsync(folder) != 0) status = ErrnoStatus();
    return status;
}

int WriteFileAtomically(const std::string& path, std::string_view bytes, const AtomicWriteOptions& options)
{
    const std::size_t slash = path.rfind('/');
    const std::string folderPath = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty() || name == "." || name == "..") return -EINVAL;
    CUniqueFd folder(::open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.IsOpen()) return ErrnoStatus();
    return WriteFileAtomically(folder.Get(), name.c_str(), [bytes](int fd) { return WriteAll(fd, bytes); }, options);
}

namespace {

template <typename Bytes>
int ReadRegularFile(const std::string& path, Bytes& out)
{
    out.clear();
    CUniqueFd fd;
    if (const int status = OpenPlainFile(path.c_str(), O_RDONLY, 0, fd); status != 0) return status;
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0) return ErrnoStatus();
    if (info.st_size > kMaxWholeFileBytes) return -EFBIG;
    out.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int error = ErrnoStatus();
            out.clear();
            return error;
        }
        if (n == 0) break;
        if (static_cast<std::int64_t>(out.size()) + n > kMaxWholeFileBytes) {
            out.clear();
            return -EFBIG;
        }
        out.insert(out.end(), buffer, buffer + n);
    }
    return 0;
}

}  // namespace

int ReadFileBytes(const std::string& path, std::string& out) { return ReadRegularFile(path, out); }

int ReadFileBytes(const std::string& path, std::vector<std::uint8_t>& out) { return ReadRegularFile(path, out); }
