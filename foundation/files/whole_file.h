// Whole-file reads and writes.
//
// A write replaces the whole content or nothing: the bytes go to a new file
// beside the old one, which is flushed to disk and then renamed over it, so
// a shorter body never leaves the old tail and a failed write leaves the old
// file as it was. The replacement keeps the old file's permission bits and
// its "user." attributes (comment, type, creator); a new file gets mode 0666
// less the umask. The final name itself is replaced, never followed: a
// symbolic link standing there is replaced by the file.
//
// Reads tell "unreadable" (a failure) apart from "empty" (success and no
// bytes), and open the file read-only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/errors/status.h"
#include "foundation/files/file_ref.h"

// Success with every byte of the file; a failure (-ENOENT when missing,
// -EISDIR for a folder, -EINVAL for anything else but a regular file, -EFBIG
// past kMaxWholeFileBytes) with `bytes` emptied.
CStatus ReadWholeFile(const CFileRef& file, std::string& bytes);
CStatus ReadDataFork(const CFileRef& file, std::vector<std::uint8_t>& bytes);

// Creates the file when missing, else replaces its content; -EISDIR when a
// folder has the name.
CStatus WriteWholeFile(const CFileRef& file, const void* bytes, std::size_t count);
// The same with the content that `writeBody` writes to the new file (0 or a
// negative errno value), so a large body can stream in.
CStatus WriteWholeFileWith(const CFileRef& file, const std::function<int(int fd)>& writeBody);
inline CStatus WriteWholeFile(const CFileRef& file, std::string_view bytes)
{
    return WriteWholeFile(file, bytes.data(), bytes.size());
}

// Many replacements with the guarantee of WriteWholeFile (a crash leaves
// each file old or new, whole) at the cost of a few flushes instead of one
// per file: the new files are written nameless, flushed together with one
// syncfs per file system once kBatchFiles wait (or on Flush, when at least
// kSyncEachBelow wait), and only then renamed over the old ones. A file flushed one by one costs milliseconds,
// which adds up at the end of a crawl that corrects hundreds of pages.
class CWholeFileBatch {
public:
    CWholeFileBatch();
    // Pending files are flushed and renamed; their results are then lost,
    // so call Flush to see them.
    ~CWholeFileBatch();
    CWholeFileBatch(const CWholeFileBatch&) = delete;
    CWholeFileBatch& operator=(const CWholeFileBatch&) = delete;

    // Writes the new content of `file` (as WriteWholeFile: the old file's
    // mode and labels kept) and queues it; with `modificationSeconds` the
    // file keeps that modification date. 0 or a negative status for this
    // file, which then stays as it was; a full batch is flushed first.
    [[nodiscard]] int Replace(const CFileRef& file, std::string_view bytes, std::optional<std::int64_t> modificationSeconds);
    // Flushes and renames every queued file. The number of files that could
    // not be flushed or renamed (each left as it was), counting those of
    // the batches Replace flushed since the last call.
    [[nodiscard]] int Flush();

    // Each queued file holds two descriptors until the flush.
    static constexpr std::size_t kBatchFiles = 128;
    // Fewer queued files than this are flushed one by one.
    static constexpr std::size_t kSyncEachBelow = 8;

private:
    struct SPending;
    std::vector<std::unique_ptr<SPending>> mPending;
    int mUnreportedFailures = 0;
};
