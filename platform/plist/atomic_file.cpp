#include "platform/plist/atomic_file.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <ctime>

namespace {

int LastError() { return errno > 0 ? -errno : -EIO; }

class FdCloser {
public:
    explicit FdCloser(int fd) : mFd(fd) {}
    FdCloser(const FdCloser&) = delete;
    FdCloser& operator=(const FdCloser&) = delete;
    ~FdCloser()
    {
        if (mFd >= 0) ::close(mFd);
    }
    // Closes now and reports the close's own error, which for some file
    // systems is where a failed write shows up.
    int Close()
    {
        int fd = mFd;
        mFd = -1;
        return (fd >= 0 && ::close(fd) != 0) ? LastError() : 0;
    }

private:
    int mFd;
};

int WriteAll(int fd, std::string_view bytes)
{
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return LastError();
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return 0;
}

std::string FolderOf(const std::string& path)
{
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// A name beside `path` that no other writer picks: the process id, a counter
// and random bits. The leading dot keeps it out of folder listings.
std::string TemporaryNameFor(const std::string& path)
{
    static std::atomic<unsigned> counter{0};
    unsigned long long noise = 0;
    if (::getrandom(&noise, sizeof noise, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof noise)) {
        noise = static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(&noise)) ^
                static_cast<unsigned long long>(::time(nullptr));
    }
    std::size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    char suffix[64];
    std::snprintf(suffix, sizeof suffix, ".%ld-%u-%016llx.tmp", static_cast<long>(::getpid()),
                  counter.fetch_add(1), noise);
    // Keep the temporary name within the usual 255-byte name limit.
    if (name.size() > 160) name.resize(160);
    return folder + "." + name + suffix;
}

}  // namespace

int ReadFileBytes(const std::string& path, std::string& out)
{
    out.clear();
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return LastError();
    FdCloser closer(fd);
    struct stat info {};
    if (::fstat(fd, &info) != 0) return LastError();
    if (S_ISDIR(info.st_mode)) return -EISDIR;
    if (!S_ISREG(info.st_mode)) return -EINVAL;
    if (info.st_size > kMaxWholeFileBytes) return -EFBIG;
    out.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            int error = LastError();
            out.clear();
            return error;
        }
        if (n == 0) break;
        if (static_cast<std::int64_t>(out.size()) + n > kMaxWholeFileBytes) {
            out.clear();
            return -EFBIG;
        }
        out.append(buffer, static_cast<std::size_t>(n));
    }
    return 0;
}

int ReplaceFileAtomically(const std::string& path, std::string_view bytes, mode_t mode)
{
    if (path.empty()) return -EINVAL;
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temporary = TemporaryNameFor(path);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
        if (fd < 0 && errno != EEXIST) return LastError();
    }
    if (fd < 0) return -EEXIST;

    FdCloser closer(fd);
    int status = WriteAll(fd, bytes);
    if (status == 0 && ::fsync(fd) != 0) status = LastError();
    int closeStatus = closer.Close();
    if (status == 0) status = closeStatus;
    if (status == 0 && ::rename(temporary.c_str(), path.c_str()) != 0) status = LastError();
    if (status != 0) {
        ::unlink(temporary.c_str());
        return status;
    }

    // The rename itself is durable only once the folder is flushed.
    int folder = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return 0;
}
