#include "foundation/files/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <set>
#include <utility>

#include "foundation/errors/status_codes.h"
#include "platform/posix/atomic_file.h"
#include "platform/posix/errno_status.h"
#include "platform/posix/file_replacement.h"
#include "platform/posix/unique_fd.h"
#include "platform/posix/write_all.h"
#include "platform/xattr/item_attributes.h"

namespace {

int WriteWholeFileCode(const CFileRef& file, const std::function<int(int fd)>& writeBody);

// Carries the old file's permission bits and labels over to its replacement.
int KeepOldFileTraits(int folder, const char* name, int replacement)
{
    struct stat info;
    if (::fstatat(folder, name, &info, AT_SYMLINK_NOFOLLOW) != 0) return errno == ENOENT ? 0 : ErrnoStatus();
    if (S_ISDIR(info.st_mode)) return -EISDIR;
    if (!S_ISREG(info.st_mode)) return 0;  // a link or a special file is simply replaced
    CUniqueFd old(::openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!old.IsOpen()) return errno == ENOENT ? 0 : ErrnoStatus();
    if (::fchmod(replacement, info.st_mode & 07777) != 0) return ErrnoStatus();
    return CopyUserAttributes(old.Get(), replacement);
}

}  // namespace

CStatus ReadWholeFile(const CFileRef& file, std::string& bytes)
{
    bytes.clear();
    return CStatus::FromCode(file.IsValid() ? ReadFileBytes(file.c_str(), bytes) : -EINVAL);
}

CStatus ReadDataFork(const CFileRef& file, std::vector<std::uint8_t>& bytes)
{
    bytes.clear();
    return CStatus::FromCode(file.IsValid() ? ReadFileBytes(file.c_str(), bytes) : -EINVAL);
}

CStatus WriteWholeFile(const CFileRef& file, const void* bytes, std::size_t count)
{
    if (bytes == nullptr && count > 0) return CStatus::FromCode(-EINVAL);
    return WriteWholeFileWith(file, [bytes, count](int fd) { return WriteAll(fd, bytes, count); });
}

CStatus WriteWholeFileWith(const CFileRef& file, const std::function<int(int fd)>& writeBody)
{
    return CStatus::FromCode(WriteWholeFileCode(file, writeBody));
}

namespace {

int WriteWholeFileCode(const CFileRef& file, const std::function<int(int fd)>& writeBody)
{
    if (!file.IsValid() || file.Path() == "/") return -EINVAL;
    const std::string& path = file.Path();
    std::size_t slash = path.rfind('/');
    std::string folderPath = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name == "." || name == "..") return -EINVAL;

    CUniqueFd folder(::open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.IsOpen()) return ErrnoStatus();
    struct stat old;
    if (::fstatat(folder.Get(), name.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISDIR(old.st_mode)) return -EISDIR;  // checked again before the rename
    } else if (errno != ENOENT) {
        return ErrnoStatus();
    }
    // The folder is not flushed: after a crash it shows the old file or the
    // new one, both whole, and a flush per saved page would slow a crawl.
    const auto bodyAndTraits = [&](int fd) {
        const int status = writeBody(fd);
        return status != 0 ? status : KeepOldFileTraits(folder.Get(), name.c_str(), fd);
    };
    return WriteFileAtomically(folder.Get(), name.c_str(), bodyAndTraits, AtomicWriteOptions{});
}

}  // namespace

struct CWholeFileBatch::SPending {
    CUniqueFd folder;
    std::string name;
    CFileReplacement replacement;
    dev_t device = 0;  // of the folder, which the new file shares
};

CWholeFileBatch::CWholeFileBatch() = default;

CWholeFileBatch::~CWholeFileBatch() { (void)Flush(); }

int CWholeFileBatch::Replace(const CFileRef& file, std::string_view bytes,
                             std::optional<std::int64_t> modificationSeconds)
{
    if (mPending.size() >= kBatchFiles) mUnreportedFailures += Flush();
    if (!file.IsValid() || file.Path() == "/") return -EINVAL;
    const std::string& path = file.Path();
    const std::size_t slash = path.rfind('/');
    auto pending = std::make_unique<SPending>();
    pending->name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (pending->name.empty() || pending->name == "." || pending->name == "..") return -EINVAL;
    const std::string folderPath = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    pending->folder.Reset(::open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    struct stat folderInfo;
    if (!pending->folder.IsOpen() || ::fstat(pending->folder.Get(), &folderInfo) != 0) return ErrnoStatus();
    pending->device = folderInfo.st_dev;
    const int folder = pending->folder.Get();
    const char* name = pending->name.c_str();
    int status = pending->replacement.Begin(folder);
    if (status == 0) status = WriteAll(pending->replacement.Fd(), bytes.data(), bytes.size());
    if (status == 0) status = KeepOldFileTraits(folder, name, pending->replacement.Fd());
    if (status == 0 && modificationSeconds) {
        // Set on the new file itself: the rename keeps it.
        const struct timespec times[2] = {{0, UTIME_OMIT}, {static_cast<time_t>(*modificationSeconds), 0}};
        if (::futimens(pending->replacement.Fd(), times) != 0) status = ErrnoStatus();
    }
    if (status != 0) return status;
    mPending.push_back(std::move(pending));
    return 0;
}

int CWholeFileBatch::Flush()
{
    // One syncfs per file system makes every queued file durable; where it
    // reports an error, each file of that file system is flushed alone, so
    // only a file that cannot be flushed stays unrenamed. syncfs also writes
    // whatever else is waiting on the file system, so a few files are
    // flushed alone.
    std::set<dev_t> synced;
    std::set<dev_t> failed;
    if (mPending.size() >= kSyncEachBelow) {
        for (const auto& pending : mPending) {
            if (synced.count(pending->device) != 0 || failed.count(pending->device) != 0) continue;
            if (::syncfs(pending->replacement.Fd()) == 0) synced.insert(pending->device);
            else failed.insert(pending->device);
        }
    }
    int failures = std::exchange(mUnreportedFailures, 0);
    for (const auto& pending : mPending) {
        const bool flushed = synced.count(pending->device) != 0;
        if ((!flushed && ::fsync(pending->replacement.Fd()) != 0) ||
            pending->replacement.Commit(pending->name.c_str(), true) != 0)
            ++failures;
    }
    mPending.clear();
    return failures;
}
