#include "foundation/files/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "foundation/errors/status_codes.h"
#include "platform/posix/errno_status.h"
#include "foundation/files/folder_entries.h"
#include "foundation/files/path_text.h"
#include "platform/posix/unique_fd.h"

namespace {

int ListFolder(const CFileRef& folder, bool filesOnly, std::vector<CFileRef>& items)
{
    if (!folder.IsValid()) return -EINVAL;
    CUniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.IsOpen()) return ErrnoStatus();
    std::vector<CFolderEntry> entries;
    int status = ReadFolderEntries(fd.Get(), entries);
    if (status != 0) return status;
    for (const CFolderEntry& entry : entries)
        if (!filesOnly || !entry.isFolder) items.push_back(folder.Child(entry.name));
    return 0;
}

}  // namespace

int GetParentRef(const CFileRef& item, CFileRef& parent)
{
    std::string absolute;
    int status = AbsolutePathOf(item.Path(), absolute);
    if (status != 0) return status;
    std::string folder = ParentPathOf(absolute);
    parent = folder.empty() ? CFileRef() : CFileRef(std::move(folder));
    return 0;
}

int GetRefNodeIDAndKind(const CFileRef& item, std::uint64_t* nodeID, bool* isFolder)
{
    if (!item.IsValid()) return -EINVAL;
    struct stat info;
    if (::lstat(item.c_str(), &info) != 0) return ErrnoStatus();
    if (nodeID) *nodeID = static_cast<std::uint64_t>(info.st_ino);
    if (isFolder) *isFolder = S_ISDIR(info.st_mode);
    return 0;
}

int ListFolderRefs(const CFileRef& folder, std::vector<CFileRef>& items)
{
    items.clear();
    return ListFolder(folder, false, items);
}

int ListFolderFiles(const CFileRef& folder, std::vector<CFileRef>& items)
{
    std::vector<CFileRef> found;
    int status = ListFolder(folder, true, found);
    if (status == 0) items.insert(items.end(), found.begin(), found.end());
    return status;
}

int ListFolderItems(const CFileRef& folder, std::vector<CFileRef>& items)
{
    std::vector<CFileRef> found;
    int status = ListFolder(folder, false, found);
    if (status == 0) items.insert(items.end(), found.begin(), found.end());
    return status;
}

int TellFinderToUpdateItem(const CFileRef&) { return 0; }

int TellFinderToMakeAlias(const CFileRef& target, const CFileRef& folder, const char* name, CFileRef& alias)
{
    if (!target.IsValid() || !folder.IsValid() || name == nullptr || name[0] == '\0' ||
        std::strchr(name, '/') != nullptr || std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
        return -EINVAL;
    std::string targetPath;
    int status = AbsolutePathOf(target.Path(), targetPath);
    if (status != 0) return status;
    CFileRef link = folder.Child(name);
    if (::symlink(targetPath.c_str(), link.c_str()) != 0) return ErrnoStatus();
    alias = link;
    return 0;
}
