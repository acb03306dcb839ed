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

CStatus ListFolder(const CFileRef& folder, bool filesOnly, std::vector<CFileRef>& items)
{
    if (!folder.IsValid()) return CStatus::FromCode(-EINVAL);
    CUniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.IsOpen()) return CStatus::FromCode(ErrnoStatus());
    std::vector<CFolderEntry> entries;
    if (CStatus status = ReadFolderEntries(fd.Get(), entries); status.Failed()) return status;
    for (const CFolderEntry& entry : entries)
        if (!filesOnly || !entry.isFolder) items.push_back(folder.Child(entry.name));
    return {};
}

}  // namespace

CStatus GetParentRef(const CFileRef& item, CFileRef& parent)
{
    std::string absolute;
    if (CStatus status = AbsolutePathOf(item.Path(), absolute); status.Failed()) return status;
    std::string folder = ParentPathOf(absolute);
    parent = folder.empty() ? CFileRef() : CFileRef(std::move(folder));
    return {};
}

CStatus GetRefNodeIDAndKind(const CFileRef& item, std::uint64_t* nodeID, bool* isFolder)
{
    if (!item.IsValid()) return CStatus::FromCode(-EINVAL);
    struct stat info;
    if (::lstat(item.c_str(), &info) != 0) return CStatus::FromCode(ErrnoStatus());
    if (nodeID) *nodeID = static_cast<std::uint64_t>(info.st_ino);
    if (isFolder) *isFolder = S_ISDIR(info.st_mode);
    return {};
}

CStatus ListFolderRefs(const CFileRef& folder, std::vector<CFileRef>& items)
{
    items.clear();
    return ListFolder(folder, false, items);
}

CStatus ListFolderFiles(const CFileRef& folder, std::vector<CFileRef>& items)
{
    std::vector<CFileRef> found;
    CStatus status = ListFolder(folder, true, found);
    if (status.Ok()) items.insert(items.end(), found.begin(), found.end());
    return status;
}

CStatus ListFolderItems(const CFileRef& folder, std::vector<CFileRef>& items)
{
    std::vector<CFileRef> found;
    CStatus status = ListFolder(folder, false, found);
    if (status.Ok()) items.insert(items.end(), found.begin(), found.end());
    return status;
}

CStatus TellFinderToUpdateItem(const CFileRef&) { return {}; }

CStatus TellFinderToMakeAlias(const CFileRef& target, const CFileRef& folder, const char* name, CFileRef& alias)
{
    if (!target.IsValid() || !folder.IsValid() || name == nullptr || name[0] == '\0' ||
        std::strchr(name, '/') != nullptr || std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
        return CStatus::FromCode(-EINVAL);
    std::string targetPath;
    if (CStatus status = AbsolutePathOf(target.Path(), targetPath); status.Failed()) return status;
    CFileRef link = folder.Child(name);
    if (::symlink(targetPath.c_str(), link.c_str()) != 0) return CStatus::FromCode(ErrnoStatus());
    alias = link;
    return {};
}
