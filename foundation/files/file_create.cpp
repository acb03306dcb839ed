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

// 0 when `path` is a plain file (or a link to one), else why it is not.
int PlainFileStatus(const char* path)
{
    struct stat info;
    if (::stat(path, &info) != 0) return ErrnoStatus();
    if (S_ISDIR(info.st_mode)) return -EISDIR;
    return S_ISREG(info.st_mode) ? 0 : -EEXIST;
}

// Creates an empty file; an existing plain file counts as made.
int CreateEmptyFile(const char* path)
{
    CUniqueFd fd(::open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (fd.IsOpen()) return 0;
    if (errno != EEXIST) return ErrnoStatus();
    return PlainFileStatus(path);
}

}  // namespace

int CFile::ReadDataFork(std::vector<std::uint8_t>& bytes) const { return ::ReadDataFork(mFile, bytes); }

int CFile::Exists(const CFileRef& parent, const char* name, CFileRef* outRef)
{
    if (!parent.IsValid() || !IsItemName(name)) return -EINVAL;
    CFileRef item = parent.Child(name);
    struct stat info;
    if (::lstat(item.c_str(), &info) != 0) {
        if (errno != ENOENT) return ErrnoStatus();
        if (outRef) *outRef = item;
        return 0;
    }
    if (outRef) *outRef = item;
    return 1;
}

int CFile::CreateFolderIfMissing(const CFileRef& parent, const char* name, CFileRef& outRef)
{
    if (!parent.IsValid() || !IsItemName(name)) return -EINVAL;
    CFileRef folder = parent.Child(name);
    for (int attempt = 0; attempt < 2; ++attempt) {
        struct stat info;
        if (::stat(folder.c_str(), &info) == 0) {
            if (!S_ISDIR(info.st_mode)) return -ENOTDIR;
            outRef = folder;
            return 0;
        }
        if (errno != ENOENT) return ErrnoStatus();
        if (::mkdir(folder.c_str(), 0777) == 0) {
            outRef = folder;
            return 0;
        }
        if (errno != EEXIST) return ErrnoStatus();  // else made by someone else meanwhile: look again
    }
    return -EEXIST;
}

int CFile::CreateFile(const CFileRef& parent, CFixedString255& name, CFileRef& outRef, bool unique)
{
    if (!parent.IsValid() || !IsItemName(name.c_str())) return -EINVAL;
    if (unique) {
        int exists = Exists(parent, name.c_str(), nullptr);
        if (exists < 0) return exists;
        if (exists == 1) name = MakeUniqueFileName(name.View()).c_str();
    }
    CFileRef file = parent.Child(name.c_str());
    int status = CreateEmptyFile(file.c_str());
    if (status == 0) outRef = file;
    return status;
}

int CFile::CreateTypedFile(const CFileRef& parent, const char* name, std::uint32_t creator, std::uint32_t type,
                           CFileRef& outRef)
{
    if (!IsItemName(name)) return -EINVAL;
    CFixedString255 fixedName(name);
    if (fixedName.Length() != std::strlen(name)) return -ENAMETOOLONG;
    int status = CreateFile(parent, fixedName, outRef, false);
    if (status != 0) return status;
    (void)SetFileType(outRef, type);
    (void)SetFileCreator(outRef, creator);
    return 0;
}

int CFile::CreateFromPath(const char* path, CFileRef& outRef)
{
    if (path == nullptr || path[0] == '\0') return -EINVAL;
    int status = CreateEmptyFile(path);
    if (status == 0) outRef = CFileRef(path);
    return status;
}

int CFile::WriteNewFile(const char* path, const void* bytes, std::size_t count)
{
    CFileRef file;
    int status = CreateFromPath(path, file);
    return status != 0 ? status : WriteWholeFile(file, bytes, count).Code();
}

int CFile::WriteDataFork(const CFileRef& file, const void* bytes, std::size_t count)
{
    return WriteWholeFile(file, bytes, count).Code();
}

int CFile::Rename(CFileRef& file, const char* name)
{
    if (!file.IsValid() || !IsItemName(name)) return -EINVAL;
    CFileRef parent;
    if (!ParentOfRef(file, parent)) return -EINVAL;
    CFileRef renamed = parent.Child(name);
    if (::renameat2(AT_FDCWD, file.c_str(), AT_FDCWD, renamed.c_str(), RENAME_NOREPLACE) != 0) return ErrnoStatus();
    file = renamed;
    return 0;
}
