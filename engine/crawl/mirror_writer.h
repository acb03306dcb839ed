// The crawl's own access to its mirror: saving a fetched file into it and
// looking a file up, fast enough for thousands of files.
//
// The naming and the safety rules are the mirror's (foundation/mirror): every
// folder level goes through MirrorNameFromSegment and the file name through
// SafeMirrorName, levels are opened one by one by OpenMirrorLevel below the
// download folder, so a symbolic link anywhere in the mirror is an error
// (never followed) and nothing is written outside it. The opened folders are
// kept open for the crawl, so each folder is walked once.
//
// A file appears under its name only once it is whole: the body and the
// labels go to a new file beside it, which then takes the name
// (platform/posix/file_replacement.h). A crawl killed mid-save, a full
// disk or an aborted transfer leave the old file or none, so a later crawl
// never takes a cut-off file for a saved one; temporary files a killed
// writer left are never found and are removed when their folder is next
// written. A spilled body streams from its spill file, never whole in
// memory. Files are not flushed to disk (a mirror can be fetched again).
// Labels are the URL record's: the modification date, the URL as its
// comment, the URL without credentials as its origin, and the type and
// creator codes.
//
// No two URLs share a file. The writer knows which URL each file it wrote
// belongs to (by its inode, so names that a case-blind file system folds
// together are caught too; in a folder it made itself, by its place, which
// also tells a free name without asking the disk) and, for files of an
// earlier crawl, reads the URL from the file's comment. A name taken by
// another URL, or by a folder, is replaced by DistinctMirrorName's, which
// depends only on the URL, so a later crawl or a look-up finds the same file
// again.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

#include "engine/html/text_hash.h"
#include "foundation/errors/status.h"
#include "foundation/files/dynamic_buffer.h"
#include "foundation/files/file_ref.h"
#include "engine/crawl/mirror_file_worker.h"
#include "platform/posix/unique_fd.h"

struct CMirrorFileLabels {
    std::uint32_t type = 0;
    std::uint32_t creator = 0;
    std::string url;
    std::int64_t modificationSeconds = 0;  // 0: leave the date
};

class CMirrorWriter {
public:
    explicit CMirrorWriter(std::string downloadFolder);
    ~CMirrorWriter();
    CMirrorWriter(const CMirrorWriter&) = delete;
    CMirrorWriter& operator=(const CMirrorWriter&) = delete;

    // Writes the file `fileName` (percent-decoded; empty: "Index.html") in the
    // folder of `segments`, making the folders. An existing plain file is
    // rewritten when `replace`, else kept and reported as kStatusDuplicateName
    // (-EEXIST). Success or a failure with its errno code; `file` names the
    // file on success and on kStatusDuplicateName, under the name it really has. Labels that the file
    // system cannot keep are skipped. `labels.url` owns the file; an empty
    // one claims whatever stands at the name. A file whose path would pass
    // the system's limit gives -ENAMETOOLONG, and nothing is made.
    CStatus Write(std::span<const std::string> segments, std::string_view fileName, bool replace,
                  std::string_view bytes, const CMirrorFileLabels& labels, CFileRef& file);
    CStatus Write(std::span<const std::string> segments, std::string_view fileName, bool replace,
                  const CLDynamicBuffer& body, const CMirrorFileLabels& labels, CFileRef& file);

    // True, with `file` naming it, when a plain file of `owner` (any file
    // when `owner` is empty) stands at the place or under the distinct name
    // the writer gives it there. Nothing is made.
    [[nodiscard]] bool Find(std::span<const std::string> segments, std::string_view fileName, CFileRef& file,
              std::string_view owner = {});

    const std::string& DownloadFolder() const { return mRootPath; }

    // Returns once the labels of every file written are on disk.
    void Settle();

private:
    struct SOpenFolder {
        CUniqueFd fd;
        bool onRootDevice = true;
        // This writer made the folder, so it holds only what the writer put
        // there: no earlier crawl's files, no killed writer's leftovers. A
        // name the writer did not write there needs no look at the disk.
        bool made = false;
    };
    static bool IsMade(const SOpenFolder* folder) { return folder != nullptr && folder->made; }
    // The folder's descriptor (kept open), or a negative status. With
    // `create`, missing levels are made; `path` receives the folder's path,
    // `opened` the folder's entry (none for the download folder itself).
    [[nodiscard]] int OpenFolder(std::span<const std::string> segments, bool create, std::string& path,
                                 SOpenFolder** opened = nullptr);
    // Whether `name` in the folder at `path` is surely missing: the writer
    // made the folder and wrote no file of that name there.
    [[nodiscard]] bool IsSurelyFree(const SOpenFolder* folder, const std::string& path, const std::string& name) const;
    // Notes that the file at `name` (described by `info`) is `url`'s.
    void NoteOwner(const SOpenFolder* folder, const std::string& path, const std::string& name,
                   const struct stat& info, std::string_view url);
    // The owner noted for the file at `name` (described by `info`), or null.
    [[nodiscard]] const std::uint64_t* NotedOwner(const SOpenFolder* folder, const std::string& path,
                                                  const std::string& name, const struct stat& info) const;
    void ForgetFolders();
    enum class ESlot { kFree, kOwn, kTaken };
    // Whether `name` in `folder` (at `path`) is free, `owner`'s (or of no
    // known URL), or another URL's; a failure for a link or an item that is
    // neither a file nor a folder.
    CStatus CheckSlot(int folder, const SOpenFolder* opened, const std::string& path, const std::string& name,
                      std::string_view owner, ESlot& slot) const;
    // Writes the file with `writeBody` (which answers 0 or a negative errno
    // value).
    template <class WriteBody>
    CStatus WriteFile(std::span<const std::string> segments, std::string_view fileName, bool replace,
                      WriteBody&& writeBody, const CMirrorFileLabels& labels, CFileRef& file);

    std::string mRootPath;
    CUniqueFd mRoot;
    // Relative folder path (safe names joined by '/') -> open descriptor.
    TextMap<SOpenFolder> mFolders;
    dev_t mRootDevice = 0;
    // Each file written (its device and inode, hashed) -> the hash of the
    // URL it belongs to (MirrorOwnerKey): small, for mirrors of many files.
    // Files in folders the writer made are noted by place instead (the
    // folder's path and the name, hashed like the inodes), so that a name
    // missing there is missing on disk; 0 stands for a file of no known URL.
    std::unordered_map<std::uint64_t, std::uint64_t> mOwners;
    std::unordered_map<std::uint64_t, std::uint64_t> mOwnersByPlace;
    // Folders already cleared of temporary files by this writer.
    TextSet mCleared;
    // What need not wait for the disk, from the first write on.
    std::unique_ptr<CMirrorFileWorker> mWorker;
};
