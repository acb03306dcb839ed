#include "foundation/files/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "foundation/errors/status_codes.h"
#include "platform/posix/errno_status.h"
#include "platform/posix/unique_fd.h"
#include "foundation/files/unique_name.h"
#include "foundation/files/whole_file.h"

namespace {

bool IsItemName(const char* name)
{
    return name != nullptr && name[0] != '\0' && std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0 &&
           std::strchr(name, '/') == nullptr;
}

// Success when `path` is a plain file (or a link to one), else why it is not.
CStatus PlainFileStatus(const char* path)
{
    struct stat info;
    if (::stat(path, &info) != 0) return CStatus::FromCode(ErrnoStatus());
    if (S_ISDIR(info.st_mode)) return CStatus::FromCode(-EISDIR);
    return S_ISREG(info.st_mode) ? CStatus() : CStatus::FromCode(-EEXIST);
}

// Creates an empty file; an existing plain file counts as made.
CStatus CreateEmptyFile(const char* path)
{
    CUniqueFd fd(::open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (fd.IsOpen()) return {};
    if (errno != EEXIST) return CStatus::FromCode(ErrnoStatus());
    return PlainFileStatus(path);
}

}  // namespace

CStatus CFile::ReadDataFork(std::vector<std::uint8_t>& bytes) const { return ::ReadDataFork(mFile, bytes); }

CStatus CFile::Exists(const CFileRef& parent, const char* name, bool& exists, CFileRef* outRef)
{
    exists = false;
    if (!parent.IsValid() || !IsItemName(name)) return CStatus::FromCode(-EINVAL);
    CFileRef item = parent.Child(name);
    struct stat info;
    if (::lstat(item.c_str(), &info) != 0) {
        if (errno != ENOENT) return CStatus::FromCode(ErrnoStatus());
    } else {
        exists = true;
    }
    if (outRef) *outRef = item;
    return {};
}

CStatus CFile::CreateFolderIfMissing(const CFileRef& parent, const char* name, CFileRef& outRef)
{
    if (!parent.IsValid() || !IsItemName(name)) return CStatus::FromCode(-EINVAL);
    CFileRef folder = parent.Child(name);
    for (int attempt = 0; attempt < 2; ++attempt) {
        struct stat info;
        if (::stat(folder.c_str(), &info) == 0) {
            if (!S_ISDIR(info.st_mode)) return CStatus::FromCode(-ENOTDIR);
            outRef = folder;
            return {};
        }
        if (errno != ENOENT) return CStatus::FromCode(ErrnoStatus());
        if (::mkdir(folder.c_str(), 0777) == 0) {
            outRef = folder;
            return {};
        }
        // else made by someone else meanwhile: look again
        if (errno != EEXIST) return CStatus::FromCode(ErrnoStatus());
    }
    return CStatus::FromCode(-EEXIST);
}

CStatus CFile::CreateFile(const CFileRef& parent, CFixedString255& name, CFileRef& outRef, bool unique)
{
    if (!parent.IsValid() || !IsItemName(name.c_str())) return CStatus::FromCode(-EINVAL);
    if (unique) {
        bool exists = false;
        CStatus status = Exists(parent, name.c_str(), exists, nullptr);
        if (status.Failed()) return status;
        if (exists) name = MakeUniqueFileName(name.View()).c_str();
    }
    CFileRef file = parent.Child(name.c_str());
    CStatus status = CreateEmptyFile(file.c_str());
    if (status.Ok()) outRef = file;
    return status;
}

CStatus CFile::CreateTypedFile(const CFileRef& parent, const char* name, std::uint32_t creator, std::uint32_t type,
                               CFileRef& outRef)
{
    if (!IsItemName(name)) return CStatus::FromCode(-EINVAL);
    CFixedString255 fixedName(name);
    if (fixedName.Length() != std::strlen(name)) return CStatus::FromCode(-ENAMETOOLONG);
    CStatus status = CreateFile(parent, fixedName, outRef, false);
    if (status.Failed()) return status;
    (void)SetFileType(outRef, type);
    (void)SetFileCreator(outRef, creator);
    return {};
}

CStatus CFile::CreateFromPath(const char* path, CFileRef& outRef)
{
    if (path == nullptr || path[0] == '\0') return CStatus::FromCode(-EINVAL);
    CStatus status = CreateEmptyFile(path);
    if (status.Ok()) outRef = CFileRef(path);
    return status;
}

CStatus CFile::WriteNewFile(const char* path, const void* bytes, std::size_t count)
{
    CFileRef file;
    CStatus status = CreateFromPath(path, file);
    return status.Failed() ? status : WriteWholeFile(file, bytes, count);
}

CStatus CFile::WriteDataFork(const CFileRef& file, const void* bytes, std::size_t count)
{
    return WriteWholeFile(file, bytes, count);
}

CStatus CFile::Rename(CFileRef& file, const char* name)
{
    if (!file.IsValid() || !IsItemName(name)) return CStatus::FromCode(-EINVAL);
    CFileRef parent;
    if (!ParentOfRef(file, parent)) return CStatus::FromCode(-EINVAL);
    CFileRef renamed = parent.Child(name);
    if (::renameat2(AT_FDCWD, file.c_str(), AT_FDCWD, renamed.c_str(), RENAME_NOREPLACE) != 0)
        return CStatus::FromCode(ErrnoStatus());
    file = renamed;
    return {};
}
