// Whole-file reads and atomic whole-file writes.
//
// A write replaces the whole content or nothing: the bytes go to a new file
// beside the final name (see CFileReplacement), which is given that name
// only when complete, so a reader sees the old content or the new one and
// never a mix, and a shorter body never leaves the old tail. Results are 0
// or a negative errno value; only -ENOENT means that a file is missing.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct AtomicWriteOptions {
    // The new file's permission bits, less the umask unless `exactMode`.
    mode_t mode = 0666;
    bool exactMode = false;
    // Replace an existing file of the name; otherwise the write fails with
    // -EEXIST and nothing changes.
    bool replace = true;
    // Flush the file before it takes the name, and the folder after. A
    // failed folder flush fails the write though the new bytes already
    // stand under the name: the name may not survive a crash.
    bool syncFile = true;
    bool syncFolder = false;
};

// Writes the file `name` in the open folder `folder` with the content that
// `writeBody` writes to the new descriptor (0 or a negative errno value).
// A folder of the name gives -EISDIR.
int WriteFileAtomically(int folder, const char* name, const std::function<int(int fd)>& writeBody,
                        const AtomicWriteOptions& options);
// The same for the file at `path` (its folder must exist) and fixed bytes.
int WriteFileAtomically(const std::string& path, std::string_view bytes, const AtomicWriteOptions& options);

// Files larger than this are refused with -EFBIG rather than read into memory.
inline constexpr std::int64_t kMaxWholeFileBytes = 256LL * 1024 * 1024;

// Reads the regular file at `path` into `out` (emptied first). Anything but a
// regular file is refused: a pipe or a device could block or never end.
int ReadFileBytes(const std::string& path, std::string& out);
int ReadFileBytes(const std::string& path, std::vector<std::uint8_t>& out);
