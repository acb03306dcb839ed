#include "foundation/files/folder_entries.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "foundation/errors/status_codes.h"
#include "platform/posix/errno_status.h"
#include "platform/posix/unique_fd.h"

CStatus ReadFolderEntries(int folderFd, std::vector<CFolderEntry>& entries)
{
    entries.clear();
    CUniqueFd own(::fcntl(folderFd, F_DUPFD_CLOEXEC, 0));
    if (!own.IsOpen()) return CStatus::FromCode(ErrnoStatus());
    DIR* folder = ::fdopendir(own.Get());
    if (folder == nullptr) return CStatus::FromCode(ErrnoStatus());
    own.Release();  // closedir closes it
    ::rewinddir(folder);  // the duplicate shares its position with the original
    int status = 0;
    for (;;) {
        errno = 0;
        struct dirent* entry = ::readdir(folder);
        if (entry == nullptr) {
            if (errno != 0) status = ErrnoStatus();
            break;
        }
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
        CFolderEntry item;
        item.name = entry->d_name;
        item.nodeID = entry->d_ino;
        unsigned char type = entry->d_type;
        if (type == DT_UNKNOWN) {
            struct stat info;
            if (::fstatat(folderFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
                if (errno == ENOENT) continue;
                status = ErrnoStatus();
                break;
            }
            type = S_ISDIR(info.st_mode) ? DT_DIR : S_ISLNK(info.st_mode) ? DT_LNK : DT_REG;
        }
        item.isFolder = type == DT_DIR;
        item.isSymbolicLink = type == DT_LNK;
        entries.push_back(std::move(item));
    }
    ::closedir(folder);
    if (status != 0) {
        entries.clear();
        return CStatus::FromCode(status);
    }
    std::sort(entries.begin(), entries.end(),
              [](const CFolderEntry& a, const CFolderEntry& b) { return a.name < b.name; });
    return {};
}
