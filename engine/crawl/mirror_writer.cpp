#include "engine/crawl/mirror_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cerrno>
#include <functional>

#include "engine/url/uri_reference.h"
#include "engine/url/url_identity.h"
#include "foundation/errors/status_codes.h"
#include "platform/posix/errno_status.h"
#include "foundation/files/whole_file.h"
#include "foundation/mirror/local_mirror.h"
#include "foundation/mirror/mirror_names.h"
#include "platform/posix/file_replacement.h"
#include "platform/posix/open_file_limit.h"
#include "platform/posix/write_all.h"
#include "platform/xattr/item_attributes.h"

namespace {

// Open folders kept at most, half of what the process may hold open; past it
// they are closed and opened again as needed. A crawl visits a level's pages
// in the order it met their links, which spreads them over every folder of the
// site: a limit below the mirror's folder count would reopen a folder for
// nearly every file.
std::size_t FolderLimit()
{
    static const std::size_t limit = std::max<std::size_t>(64, RaiseOpenFileLimit(std::size_t{1} << 16) / 2);
    return limit;
}
// Distinct names tried for a file whose own name is taken.
constexpr unsigned kDistinctNameAttempts = 8;

// A level that is not a folder: a link is told apart from a file.
std::uint64_t FileKey(const struct stat& info)
{
    return (static_cast<std::uint64_t>(info.st_dev) * 0x9E3779B97F4A7C15ull) ^ static_cast<std::uint64_t>(info.st_ino);
}

std::uint64_t OwnerHash(std::string_view url) { return std::hash<std::string>{}(MirrorOwnerKey(url)); }

// A file's place: its folder's path and its name.
std::uint64_t NameKey(const std::string& folderPath, const std::string& name)
{
    const std::uint64_t folder = std::hash<std::string_view>{}(folderPath);
    return (folder * 0x9E3779B97F4A7C15ull) ^ std::hash<std::string_view>{}(name);
}

}  // namespace

CMirrorWriter::CMirrorWriter(std::string downloadFolder) : mRootPath(std::move(downloadFolder))
{
    while (mRootPath.size() > 1 && mRootPath.back() == '/') mRootPath.pop_back();
    if (!mRootPath.empty()) mRoot.Reset(::open(mRootPath.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    struct stat info {};
    if (mRoot.IsOpen() && ::fstat(mRoot.Get(), &info) == 0) mRootDevice = info.st_dev;
}

CMirrorWriter::~CMirrorWriter() = default;

void CMirrorWriter::ForgetFolders() { mFolders.clear(); }

int CMirrorWriter::OpenFolder(std::span<const std::string> segments, bool create, std::string& path,
                              SOpenFolder** opened)
{
    if (opened != nullptr) *opened = nullptr;
    if (!mRoot.IsOpen()) return -ENOENT;
    if (mFolders.size() >= FolderLimit()) ForgetFolders();
    int folder = mRoot.Get();
    std::string key;
    path = mRootPath;
    for (const std::string& segment : segments) {
        const std::string name = MirrorNameFromSegment(segment);
        if (name.empty()) continue;
        if (!key.empty()) key += '/';
        key += name;
        if (path != "/") path += '/';
        path += name;
        if (auto found = mFolders.find(key); found != mFolders.end()) {
            folder = found->second.fd.Get();
            if (opened != nullptr) *opened = &found->second;
            continue;
        }
        bool made = false;
        const int next = OpenMirrorLevel(folder, name, create, &made);
        if (next < 0) return next;
        struct stat info {};
        const bool sameDevice = ::fstat(next, &info) == 0 && info.st_dev == mRootDevice;
        SOpenFolder& entry = mFolders.emplace(key, SOpenFolder{CUniqueFd(next), sameDevice, made}).first->second;
        if (opened != nullptr) *opened = &entry;
        folder = next;
    }
    return folder;
}

bool CMirrorWriter::IsSurelyFree(const SOpenFolder* folder, const std::string& path, const std::string& name) const
{
    return IsMade(folder) && !mOwnersByPlace.contains(NameKey(path, name));
}

void CMirrorWriter::NoteOwner(const SOpenFolder* folder, const std::string& path, const std::string& name,
                              const struct stat& info, std::string_view url)
{
    if (IsMade(folder)) mOwnersByPlace[NameKey(path, name)] = url.empty() ? 0 : OwnerHash(url);
    else if (!url.empty()) mOwners[FileKey(info)] = OwnerHash(url);
}

const std::uint64_t* CMirrorWriter::NotedOwner(const SOpenFolder* folder, const std::string& path,
                                               const std::string& name, const struct stat& info) const
{
    if (IsMade(folder)) {
        const auto found = mOwnersByPlace.find(NameKey(path, name));
        return found == mOwnersByPlace.end() || found->second == 0 ? nullptr : &found->second;
    }
    const auto found = mOwners.find(FileKey(info));
    return found == mOwners.end() ? nullptr : &found->second;
}

CStatus CMirrorWriter::CheckSlot(int folder, const SOpenFolder* opened, const std::string& path,
                                 const std::string& name, std::string_view owner, ESlot& slot) const
{
    struct stat info {};
    if (::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno != ENOENT) return CStatus::FromCode(ErrnoStatus());
        slot = ESlot::kFree;
        return {};
    }
    if (S_ISLNK(info.st_mode)) return CStatus::FromCode(-ELOOP);
    if (S_ISDIR(info.st_mode)) {
        if (owner.empty()) return CStatus::FromCode(-EISDIR);
        slot = ESlot::kTaken;
        return {};
    }
    if (!S_ISREG(info.st_mode)) return CStatus::FromCode(-EINVAL);
    slot = ESlot::kOwn;
    if (owner.empty()) return {};
    if (const std::uint64_t* noted = NotedOwner(opened, path, name, info)) {
        if (*noted != OwnerHash(owner)) slot = ESlot::kTaken;
        return {};
    }
    // A file of an earlier crawl carries its URL as its comment.
    const std::string filePath = path == "/" ? "/" + name : path + "/" + name;
    std::string holder;
    if (ReadItemAttribute(filePath.c_str(), kCommentAttribute, holder) != 0) holder.clear();
    if (!holder.empty() && MirrorOwnerKey(holder) != MirrorOwnerKey(owner)) slot = ESlot::kTaken;
    return {};
}

template <class WriteBody>
CStatus CMirrorWriter::WriteFile(std::span<const std::string> segments, std::string_view fileName, bool replace,
                             WriteBody&& writeBody, const CMirrorFileLabels& labels, CFileRef& file)
{
    const std::string ownName = SafeMirrorName(fileName.empty() ? std::string_view("Index.html") : fileName);
    // A file that no path can name would be saved for nobody: nothing is made.
    std::size_t pathLength = mRootPath.size() + 1 + ownName.size();
    for (const std::string& segment : segments) pathLength += 1 + MirrorNameFromSegment(segment).size();
    if (pathLength >= PATH_MAX) return CStatus::FromCode(-ENAMETOOLONG);
    std::string path;
    SOpenFolder* opened = nullptr;
    const int folder = OpenFolder(segments, true, path, &opened);
    if (folder < 0) return CStatus::FromCode(folder);
    const bool onRootDevice = opened == nullptr || opened->onRootDevice;
    // In a folder this writer made, a name it has not written is free
    // without a look (most files of a first crawl).
    const bool surelyFree = IsSurelyFree(opened, path, ownName);
    if (!IsMade(opened)) {
        std::string key = path.substr(std::min(path.size(), mRootPath.size()));
        if (mCleared.insert(std::move(key)).second) RemoveTemporaryFiles(folder);
    }
    std::string name = ownName;
    ESlot slot = ESlot::kFree;
    for (unsigned attempt = 1; !surelyFree; ++attempt) {
        if (CStatus status = CheckSlot(folder, opened, path, name, labels.url, slot); status.Failed()) return status;
        if (slot != ESlot::kTaken) break;
        if (attempt > kDistinctNameAttempts) return CStatus::FromCode(-EEXIST);
        name = DistinctMirrorName(ownName, MirrorOwnerKey(labels.url), attempt);
    }
    const std::string filePath = path == "/" ? "/" + name : path + "/" + name;

    // Checked first so that a kept file costs no write; the commit checks
    // again. CheckSlot has refused links and anything but plain files, and
    // a name it has just found free needs no second look (most files of a
    // first crawl).
    struct stat info {};
    if (slot != ESlot::kFree) {
        if (::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0) {
            if (!S_ISREG(info.st_mode)) return CStatus::FromCode(S_ISDIR(info.st_mode) ? -EISDIR : -EINVAL);
            if (!replace) {
                NoteOwner(opened, path, name, info, labels.url);
                file = CFileRef(filePath);
                return CStatus::FromCode(kStatusDuplicateName);
            }
        } else if (errno != ENOENT) {
            return CStatus::FromCode(ErrnoStatus());
        }
    }

    CFileReplacement replacement;
    // A file made ahead in the download folder takes its name here only on
    // the same file system (a mount inside the mirror makes its own).
    if (!mWorker) mWorker = std::make_unique<CMirrorFileWorker>(mRoot.Get());
    int status = replacement.Begin(folder, onRootDevice ? mWorker->TakeNewFile() : CUniqueFd());
    if (status != 0) return CStatus::FromCode(status);
    const int fd = replacement.Fd();
    status = writeBody(fd);
    if (status == 0) {
        // Labels only: a file system without user attributes still mirrors.
        // The comment goes first, so that on ext4 it takes the room inside
        // the inode when the URL is short enough, and the attribute block
        // holds the origin URL beside the codes. Were both URLs in the block,
        // its hash (by which ext4 looks for an identical block to share)
        // would keep only 16 bits of the URL and collide for most blocks of a
        // mirror: every save compares against more of them as the mirror
        // grows. The block's labels follow behind the crawl
        // (mirror_file_worker.h).
        if (!labels.url.empty()) (void)WriteOpenItemAttribute(fd, kCommentAttribute, labels.url);
        if (labels.modificationSeconds > 0) {
            const timespec times[2] = {{labels.modificationSeconds, 0}, {labels.modificationSeconds, 0}};
            if (::futimens(fd, times) != 0) status = -errno;
        }
    }
    if (status == 0) {
        // A name found free is linked to straight away; were it taken since,
        // the file replaces what took it as asked.
        status = replacement.Commit(name.c_str(), replace && slot != ESlot::kFree);
        if (status == -EEXIST && surelyFree) {
            // Something else writes into the folder after all: it is looked
            // at from now on, and this file saved the careful way.
            opened->made = false;
            return WriteFile(segments, fileName, replace, writeBody, labels, file);
        }
        if (status == -EEXIST && replace && slot == ESlot::kFree) status = replacement.Commit(name.c_str(), true);
    }
    if (status == -EEXIST && ::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISREG(info.st_mode)) {
        file = CFileRef(filePath);
        return CStatus::FromCode(kStatusDuplicateName);
    }
    if (status == 0) {
        // A file noted by place needs no look at its inode.
        if (IsMade(opened) || (!labels.url.empty() && ::fstat(fd, &info) == 0))
            NoteOwner(opened, path, name, info, labels.url);
        if (labels.type != 0 || labels.creator != 0 || !labels.url.empty())
            mWorker->WriteLabelsLater(replacement.TakeCommitted(), labels.type, labels.creator,
                                      labels.url.empty() ? std::string() : WithoutUserInfo(labels.url));
        file = CFileRef(filePath);
    }
    return CStatus::FromCode(status);
}

void CMirrorWriter::Settle()
{
    if (mWorker) mWorker->Settle();
}

CStatus CMirrorWriter::Write(std::span<const std::string> segments, std::string_view fileName, bool replace,
                             std::string_view bytes, const CMirrorFileLabels& labels, CFileRef& file)
{
    return WriteFile(
        segments, fileName, replace, [bytes](int fd) { return WriteAll(fd, bytes); }, labels, file);
}

CStatus CMirrorWriter::Write(std::span<const std::string> segments, std::string_view fileName, bool replace,
                             const CLDynamicBuffer& body, const CMirrorFileLabels& labels, CFileRef& file)
{
    return WriteFile(
        segments, fileName, replace, [&body](int fd) { return body.WriteTo(fd); }, labels, file);
}

bool CMirrorWriter::Find(std::span<const std::string> segments, std::string_view fileName, CFileRef& file,
                         std::string_view owner)
{
    std::string path;
    SOpenFolder* opened = nullptr;
    const int folder = OpenFolder(segments, false, path, &opened);
    if (folder < 0) return false;
    const std::string ownName = SafeMirrorName(fileName.empty() ? std::string_view("Index.html") : fileName);
    if (IsTemporaryFileName(ownName) || IsSurelyFree(opened, path, ownName)) return false;
    std::string name = ownName;
    for (unsigned attempt = 1;; ++attempt) {
        ESlot slot = ESlot::kFree;
        if (CheckSlot(folder, opened, path, name, owner, slot).Failed() || slot == ESlot::kFree) return false;
        if (slot == ESlot::kOwn) break;
        if (attempt > kDistinctNameAttempts) return false;
        name = DistinctMirrorName(ownName, MirrorOwnerKey(owner), attempt);
    }
    file = CFileRef(path == "/" ? "/" + name : path + "/" + name);
    return true;
}
