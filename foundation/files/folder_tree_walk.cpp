#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <utility>

#include "foundation/errors/status_codes.h"
#include "platform/posix/errno_status.h"
#include "foundation/files/file_system.h"
#include "foundation/files/folder_entries.h"
#include "platform/posix/unique_fd.h"

namespace {

constexpr int kStopped = 1;

// A subfolder that is gone, turned into something else or closed to us is
// skipped; any other failure to enter it ends the walk.
bool IsSkippableEntryError(int error)
{
    return error == EACCES || error == EPERM || error == ENOENT || error == ENOTDIR || error == ELOOP;
}

class CFolderTreeWalker {
public:
    CFolderTreeWalker(int depthBound, const FolderWalkCallback& callback)
        : mDepthBound(depthBound), mCallback(callback)
    {
    }

    // 0 when the folder is done, kStopped, or a negative status.
    int WalkFolder(int folderFd, const CFileRef& folder, int depth)
    {
        if (mDepthBound > 0 && depth >= mDepthBound) return 0;
        struct stat self;
        if (::fstat(folderFd, &self) != 0) return ErrnoStatus();
        // A folder that holds itself (a bind mount) would never end.
        std::pair<dev_t, ino_t> node(self.st_dev, self.st_ino);
        if (std::find(mAncestors.begin(), mAncestors.end(), node) != mAncestors.end()) return 0;
        mAncestors.push_back(node);
        int status = WalkEntries(folderFd, folder, depth);
        mAncestors.pop_back();
        return status;
    }

private:
    int WalkEntries(int folderFd, const CFileRef& folder, int depth)
    {
        std::vector<CFolderEntry> entries;
        int status = ReadFolderEntries(folderFd, entries);
        if (status != 0) return status;
        for (const CFolderEntry& entry : entries) {
            CWalkItem item;
            item.ref = folder.Child(entry.name);
            item.name = entry.name;
            item.depth = depth + 1;
            item.nodeID = entry.nodeID;
            item.isFolder = entry.isFolder;
            item.isSymbolicLink = entry.isSymbolicLink;
            if (mCallback(item)) return kStopped;
            if (!entry.isFolder) continue;
            CUniqueFd child(
                ::openat(folderFd, entry.name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
            if (!child.IsOpen()) {
                if (IsSkippableEntryError(errno)) continue;
                return ErrnoStatus();
            }
            status = WalkFolder(child.Get(), item.ref, depth + 1);
            if (status != 0) return status;
        }
        return 0;
    }

    int mDepthBound;
    const FolderWalkCallback& mCallback;
    std::vector<std::pair<dev_t, ino_t>> mAncestors;
};

}  // namespace

int WalkFolderTree(const CFileRef& folder, int depthBound, const FolderWalkCallback& callback)
{
    if (!callback || !folder.IsValid()) return -EINVAL;
    CUniqueFd root(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!root.IsOpen()) return ErrnoStatus();
    CFolderTreeWalker walker(depthBound, callback);
    int status = walker.WalkFolder(root.Get(), folder, 0);
    return status == kStopped ? 0 : status;
}
