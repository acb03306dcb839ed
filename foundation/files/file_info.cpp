#include "foundation/files/file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include "foundation/errors/status_codes.h"
#include "platform/posix/errno_status.h"
#include "foundation/files/path_text.h"

bool CFile::ParentOfRef(const CFileRef& file, CFileRef& parent)
{
    std::string absolute;
    if (AbsolutePathOf(file.Path(), absolute).Failed()) return false;
    std::string folder = ParentPathOf(absolute);
    if (folder.empty()) return false;
    parent = CFileRef(std::move(folder));
    return true;
}

CStatus CFile::PathFromRef(const CFileRef& file, CFixedString255& path)
{
    std::string absolute;
    CStatus status = AbsolutePathOf(file.Path(), absolute);
    if (status.Failed()) return status;
    if (absolute.size() > CFixedString255::kCapacity) return CStatus::FromCode(-ENAMETOOLONG);
    path = absolute.c_str();
    return {};
}

CStatus CFile::GetName(const CFileRef& file, CFixedString255& name)
{
    if (!file.IsValid()) return CStatus::FromCode(-EINVAL);
    std::string_view text = file.Name();
    if (text.size() > CFixedString255::kCapacity) return CStatus::FromCode(-ENAMETOOLONG);
    name.AssignView(text);
    return {};
}

bool CFile::IsFile(const CFileRef& file)
{
    struct stat info;
    return file.IsValid() && ::lstat(file.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

CStatus CFile::GetTotalSize(const CFileRef& file, std::uint64_t& size)
{
    size = 0;
    if (!file.IsValid()) return CStatus::FromCode(-EINVAL);
    struct stat info;
    if (::lstat(file.c_str(), &info) != 0) return CStatus::FromCode(ErrnoStatus());
    if (!S_ISDIR(info.st_mode)) size = static_cast<std::uint64_t>(info.st_size);
    return {};
}

CStatus CFile::GetModificationSeconds(const CFileRef& file, std::int64_t& seconds)
{
    seconds = 0;
    if (!file.IsValid()) return CStatus::FromCode(-EINVAL);
    struct stat info;
    if (::lstat(file.c_str(), &info) != 0) return CStatus::FromCode(ErrnoStatus());
    seconds = static_cast<std::int64_t>(info.st_mtim.tv_sec);
    return {};
}

CStatus CFile::SetDates(const CFileRef& file, std::int64_t modificationSeconds, std::int64_t /*creationSeconds*/)
{
    if (!file.IsValid()) return CStatus::FromCode(-EINVAL);
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;  // access time stays
    times[1].tv_sec = static_cast<time_t>(modificationSeconds);
    times[1].tv_nsec = 0;
    if (::utimensat(AT_FDCWD, file.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0) return CStatus::FromCode(ErrnoStatus());
    return {};
}
