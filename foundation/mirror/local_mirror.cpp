#include "foundation/mirror/local_mirror.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "foundation/errors/status_codes.h"
#include "platform/posix/errno_status.h"
#include "platform/posix/unique_fd.h"
#include "foundation/mirror/mirror_names.h"
#include "platform/xattr/item_attributes.h"

namespace {

// Opens (making as needed) the folder of `segments` below the download
// folder; `path` receives its path.
int OpenMirrorFolder(std::string_view basePath, std::span<const std::string> segments, CUniqueFd& folder,
                     std::string& path)
{
    if (basePath.empty()) return -EINVAL;
    CFileRef base{std::string(basePath)};
    folder.Reset(::open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.IsOpen()) return ErrnoStatus();
    path = base.Path();
    for (const std::string& segment : segments) {
        std::string name = MirrorNameFromSegment(segment);
        if (name.empty()) continue;
        const int next = OpenMirrorLevel(folder.Get(), name, true);
        if (next < 0) return next;
        folder.Reset(next);
        if (path.back() != '/') path += '/';
        path += name;
    }
    return 0;
}

enum class Slot { kMissing, kPlainFile };

// What stands at `name`: missing or a plain file, else a negative status.
int ClassifySlot(int folder, const std::string& name, Slot& slot)
{
    struct stat info;
    if (::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno != ENOENT) return ErrnoStatus();
        slot = Slot::kMissing;
        return 0;
    }
    if (S_ISREG(info.st_mode)) {
        slot = Slot::kPlainFile;
        return 0;
    }
    if (S_ISDIR(info.st_mode)) return -EISDIR;
    return S_ISLNK(info.st_mode) ? -ELOOP : -EINVAL;
}

// Opens the plain file for labelling, creating it when missing.
int OpenFileSlot(int folder, const std::string& name, CUniqueFd& file)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        Slot slot;
        int status = ClassifySlot(folder, name, slot);
        if (status != 0) return status;
        if (slot == Slot::kPlainFile) {
            file.Reset(::openat(folder, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
            if (file.IsOpen()) return 0;
        } else {
            file.Reset(::openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
            if (file.IsOpen()) return 0;
        }
        if (errno != ENOENT && errno != EEXIST) return ErrnoStatus();  // else it changed meanwhile: look again
    }
    return -EAGAIN;
}

std::vector<std::string> SegmentTexts(const TPooledList<CFixedString255>& segments)
{
    std::vector<std::string> texts;
    texts.reserve(segments.Count());
    for (const auto& segment : segments) texts.emplace_back(segment.c_str());
    return texts;
}

}  // namespace

int OpenMirrorLevel(int parent, const std::string& name, bool create, bool* made)
{
    if (made != nullptr) *made = false;
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int folder = ::openat(parent, name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (folder >= 0) return folder;
        if (errno == ENOTDIR) {
            // A link fails as "not a folder" too; tell it apart from a file.
            struct stat info;
            bool isLink = ::fstatat(parent, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(info.st_mode);
            return isLink ? -ELOOP : -ENOTDIR;
        }
        if (errno != ENOENT || !create) return ErrnoStatus();
        if (::mkdirat(parent, name.c_str(), 0777) == 0) {
            if (made != nullptr) *made = true;
        } else if (errno != EEXIST) {
            return ErrnoStatus();
        }
    }
    return -ENOENT;
}

CStatus MakeLocalFolder(std::string_view basePath, std::span<const std::string> segments, CFileRef& folder)
{
    CUniqueFd fd;
    std::string path;
    int status = OpenMirrorFolder(basePath, segments, fd, path);
    if (status == 0) folder = CFileRef(std::move(path));
    return CStatus::FromCode(status);
}

CStatus MakeLocalFolder(const char* basePath, const TPooledList<CFixedString255>& segments, CFileRef& folder)
{
    return MakeLocalFolder(std::string_view(basePath ? basePath : ""), SegmentTexts(segments), folder);
}

CStatus PrepareLocalFile(bool create, bool overwrite, std::string_view basePath, std::span<const std::string> segments,
                         std::string& fileName, std::uint32_t creator, std::uint32_t type, CFileRef& file)
{
    CUniqueFd folder;
    std::string folderPath;
    int status = OpenMirrorFolder(basePath, segments, folder, folderPath);
    if (status != 0) return CStatus::FromCode(status);
    if (fileName.empty()) fileName = "Index.html";
    fileName = SafeMirrorName(fileName);
    CFileRef named = CFileRef(folderPath).Child(fileName);

    Slot slot;
    status = ClassifySlot(folder.Get(), fileName, slot);
    if (status != 0) return CStatus::FromCode(status);
    if (!create) {
        file = slot == Slot::kPlainFile ? named : CFileRef();
        return {};
    }
    if (slot == Slot::kPlainFile && !overwrite) {
        file = named;
        return CStatus::FromCode(kStatusDuplicateName);
    }
    CUniqueFd fd;
    status = OpenFileSlot(folder.Get(), fileName, fd);
    if (status != 0) return CStatus::FromCode(status);
    // Labels only: a file system without user attributes still mirrors.
    WriteOpenItemCode(fd.Get(), kFileTypeAttribute, type);
    WriteOpenItemCode(fd.Get(), kFileCreatorAttribute, creator);
    file = named;
    return {};
}

CStatus PrepareLocalFile(bool create, bool overwrite, const char* basePath, const TPooledList<CFixedString255>& segments,
                         CFixedString255& fileName, std::uint32_t creator, std::uint32_t type, CFileRef& file)
{
    std::string name = fileName.c_str();
    CStatus status = PrepareLocalFile(create, overwrite, std::string_view(basePath ? basePath : ""),
                                      SegmentTexts(segments), name, creator, type, file);
    fileName = name.c_str();
    return status;
}
