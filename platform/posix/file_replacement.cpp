#include "platform/posix/file_replacement.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/posix/errno_status.h"

namespace {

constexpr std::string_view kTemporaryPrefix = ".tidewell-partial-";

int MakeTemporaryName(std::string& name)
{
    unsigned char random[8];
    if (::getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random)) return ErrnoStatus();
    char text[24];
    std::snprintf(text, sizeof text, "%02x%02x%02x%02x%02x%02x%02x%02x", random[0], random[1], random[2], random[3],
                  random[4], random[5], random[6], random[7]);
    name = std::string(kTemporaryPrefix) + text;
    return 0;
}

bool IsFolder(int folder, const char* name)
{
    struct stat info {};
    return ::fstatat(folder, name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(info.st_mode);
}

// This process's folder of open files, opened once: a mirror names
// thousands of files through it, and a lookup from /proc each time costs
// more than the link. -1 when there is none.
int OpenFilesFolder()
{
    static const int folder = ::open("/proc/self/fd", O_PATH | O_DIRECTORY | O_CLOEXEC);
    return folder;
}

}  // namespace

bool IsTemporaryFileName(std::string_view name) { return name.starts_with(kTemporaryPrefix); }

void RemoveTemporaryFiles(int folder)
{
    const int listing = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listing < 0) return;
    DIR* entries = ::fdopendir(listing);
    if (entries == nullptr) {
        ::close(listing);
        return;
    }
    while (const dirent* entry = ::readdir(entries))
        if (IsTemporaryFileName(entry->d_name)) ::unlinkat(folder, entry->d_name, 0);
    ::closedir(entries);
}

CFileReplacement::~CFileReplacement() { Discard(); }

int CFileReplacement::Begin(int folder, CUniqueFd nameless)
{
    if (!nameless.IsOpen()) return Begin(folder);
    Discard();
    mFolder = folder;
    mCommitted = false;
    mFile = std::move(nameless);
    return 0;
}

int CFileReplacement::Begin(int folder, mode_t mode)
{
    Discard();
    mFolder = folder;
    mCommitted = false;
    mFile.Reset(::openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode));
    if (mFile.IsOpen()) return 0;
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return ErrnoStatus();
    for (int attempt = 0; attempt < 16; ++attempt) {
        if (int status = MakeTemporaryName(mTemporaryName); status != 0) return status;
        mFile.Reset(::openat(folder, mTemporaryName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                             mode));
        if (mFile.IsOpen()) return 0;
        if (errno != EEXIST) break;
    }
    const int status = ErrnoStatus();
    mTemporaryName.clear();
    return status;
}

// A nameless file gets a name through its /proc handle (linkat with
// AT_EMPTY_PATH would need a capability).
int CFileReplacement::LinkAs(const char* name)
{
    char handle[24];
    std::snprintf(handle, sizeof handle, "%d", mFile.Get());
    const int openFiles = OpenFilesFolder();
    const int status = openFiles >= 0
                           ? ::linkat(openFiles, handle, mFolder, name, AT_SYMLINK_FOLLOW)
                           : ::linkat(AT_FDCWD, ("/proc/self/fd/" + std::string(handle)).c_str(), mFolder, name,
                                      AT_SYMLINK_FOLLOW);
    return status == 0 ? 0 : ErrnoStatus();
}

int CFileReplacement::Commit(const char* name, bool replace)
{
    if (!mFile.IsOpen() || mCommitted) return -EBADF;
    if (mTemporaryName.empty() && !replace) {
        // The link fails when the name is taken: no moment without a check,
        // and no look at the name first for the usual free one.
        const int status = LinkAs(name);
        if (status == 0) mCommitted = true;
        if (status == -EEXIST && IsFolder(mFolder, name)) return -EISDIR;
        return status;
    }
    if (IsFolder(mFolder, name)) return -EISDIR;
    if (mTemporaryName.empty()) {
        if (int status = MakeTemporaryName(mTemporaryName); status != 0) return status;
        if (int status = LinkAs(mTemporaryName.c_str()); status != 0) {
            mTemporaryName.clear();
            return status;
        }
    }
    int status = 0;
    if (replace) {
        if (::renameat(mFolder, mTemporaryName.c_str(), mFolder, name) != 0) status = ErrnoStatus();
    } else if (::renameat2(mFolder, mTemporaryName.c_str(), mFolder, name, RENAME_NOREPLACE) != 0) {
        status = ErrnoStatus();
        if (status == -EINVAL) {  // no such rename here: a link fails on a taken name too
            status = ::linkat(mFolder, mTemporaryName.c_str(), mFolder, name, 0) == 0 ? 0 : ErrnoStatus();
            if (status == 0) ::unlinkat(mFolder, mTemporaryName.c_str(), 0);
        }
    }
    if (status != 0) return status;
    mTemporaryName.clear();
    mCommitted = true;
    return 0;
}

void CFileReplacement::Discard()
{
    if (!mCommitted && !mTemporaryName.empty() && mFolder >= 0) ::unlinkat(mFolder, mTemporaryName.c_str(), 0);
    mTemporaryName.clear();
    mFile.Reset();
}
