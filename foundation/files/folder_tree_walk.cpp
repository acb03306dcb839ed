#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <utility>
#include <vector>

#include "foundation/errors/status_codes.h"
#include "platform/posix/errno_status.h"
#include "foundation/files/file_system.h"
#include "foundation/files/folder_entries.h"
#include "platform/posix/unique_fd.h"

namespace {

constexpr int kStopped = 1;

// Folders of the walk held open at once, besides the walked folder itself:
// a deep tree must not use up the process's descriptors.
constexpr std::size_t kOpenFolders = 32;

// A subfolder that is gone, turned into something else or closed to us is
// skipped; any other failure to enter it ends the walk.
bool IsSkippableEntryError(int error)
{
    return error == EACCES || error == EPERM || error == ENOENT || error == ENOTDIR || error == ELOOP;
}

// The walk keeps its open folders on a list of its own rather than on the
// call stack: a hostile tree thousands of levels deep would otherwise run a
// CThread's stack out. Only the innermost folders keep a descriptor; an
// outer one is opened again, by name from the nearest open one, when the
// walk comes back to it.
class CFolderTreeWalker {
public:
    CFolderTreeWalker(int depthBound, const FolderWalkCallback& callback)
        : mDepthBound(depthBound), mCallback(callback)
    {
    }

    // 0 when the tree is done, kStopped, or a negative status.
    int Walk(CUniqueFd root, const CFileRef& folder)
    {
        int status = Enter(std::move(root), folder, {}, 0);
        while (status == 0 && !mOpen.empty()) status = Step();
        return status;
    }

private:
    struct SOpenFolder {
        CUniqueFd fd;  // closed when the folder is outside the innermost few
        CFileRef ref;
        std::string name;  // in the folder above
        int depth = 0;
        std::pair<dev_t, ino_t> node;
        std::vector<CFolderEntry> entries;
        std::size_t next = 0;
    };

    // Lists the folder and puts it on the open list; 0 also when it is not
    // walked (past the depth bound, or a folder that holds itself).
    int Enter(CUniqueFd fd, const CFileRef& folder, const std::string& name, int depth)
    {
        if (mDepthBound > 0 && depth >= mDepthBound) return 0;
        struct stat self;
        if (::fstat(fd.Get(), &self) != 0) return ErrnoStatus();
        // A folder that holds itself (a bind mount) would never end.
        const std::pair<dev_t, ino_t> node(self.st_dev, self.st_ino);
        for (const SOpenFolder& open : mOpen)
            if (open.node == node) return 0;
        SOpenFolder entered;
        const int status = ReadFolderEntries(fd.Get(), entered.entries).Code();
        if (status != 0) return status;
        entered.fd = std::move(fd);
        entered.ref = folder;
        entered.name = name;
        entered.depth = depth;
        entered.node = node;
        mOpen.push_back(std::move(entered));
        CloseOuterFolders();
        return 0;
    }

    void CloseOuterFolders()
    {
        for (std::size_t i = 1; i + kOpenFolders < mOpen.size(); ++i) mOpen[i].fd.Reset();
    }

    // Opens the innermost folder again, and those between it and the nearest
    // open one. A folder that is gone or is no longer the one listed ends
    // the walk of everything below it, as a subfolder that vanished does.
    int ReopenInnermost()
    {
        std::size_t open = mOpen.size() - 1;
        while (!mOpen[open].fd.IsOpen()) --open;  // the walked folder stays open
        for (std::size_t i = open + 1; i < mOpen.size(); ++i) {
            CUniqueFd fd(::openat(mOpen[i - 1].fd.Get(), mOpen[i].name.c_str(),
                                  O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
            struct stat self;
            const bool same = fd.IsOpen() && ::fstat(fd.Get(), &self) == 0 &&
                              std::pair<dev_t, ino_t>(self.st_dev, self.st_ino) == mOpen[i].node;
            if (!same) {
                if (fd.IsOpen() || IsSkippableEntryError(errno)) {
                    mOpen.resize(i);
                    return 0;
                }
                return ErrnoStatus();
            }
            mOpen[i].fd = std::move(fd);
            if (i - 1 > 0 && i - 1 + kOpenFolders < mOpen.size()) mOpen[i - 1].fd.Reset();
        }
        return 0;
    }

    // Hands the next item of the innermost open folder to the callback and
    // enters it when it is a folder; closes a folder whose items are done.
    int Step()
    {
        SOpenFolder& current = mOpen.back();
        if (current.next == current.entries.size()) {
            mOpen.pop_back();
            return 0;
        }
        const CFolderEntry& entry = current.entries[current.next++];
        CWalkItem item;
        item.ref = current.ref.Child(entry.name);
        item.name = entry.name;
        item.depth = current.depth + 1;
        item.nodeID = entry.nodeID;
        item.isFolder = entry.isFolder;
        item.isSymbolicLink = entry.isSymbolicLink;
        if (mCallback(item)) return kStopped;
        if (!entry.isFolder) return 0;
        const std::string name = entry.name;
        if (!current.fd.IsOpen()) {
            const std::size_t level = mOpen.size();
            if (const int status = ReopenInnermost(); status != 0 || mOpen.size() != level) return status;
        }
        CUniqueFd child(::openat(mOpen.back().fd.Get(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!child.IsOpen()) return IsSkippableEntryError(errno) ? 0 : ErrnoStatus();
        return Enter(std::move(child), item.ref, name, item.depth);
    }

    int mDepthBound;
    const FolderWalkCallback& mCallback;
    std::vector<SOpenFolder> mOpen;  // the walked folder first
};

}  // namespace

CStatus WalkFolderTree(const CFileRef& folder, int depthBound, const FolderWalkCallback& callback)
{
    if (!callback || !folder.IsValid()) return CStatus::FromCode(-EINVAL);
    CUniqueFd root(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!root.IsOpen()) return CStatus::FromCode(ErrnoStatus());
    CFolderTreeWalker walker(depthBound, callback);
    const int status = walker.Walk(std::move(root), folder);
    return CStatus::FromCode(status == kStopped ? 0 : status);
}
