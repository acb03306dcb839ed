// Whole-file reads and atomic whole-file replacement.
//
// Results are 0 on success or a negative errno value; only -ENOENT means that
// the file is missing.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <string_view>

// Files larger than this are refused with -EFBIG rather than read into memory.
inline constexpr std::int64_t kMaxWholeFileBytes = 256LL * 1024 * 1024;

// Reads the regular file at `path` into `out` (emptied first).
int ReadFileBytes(const std::string& path, std::string& out);

// Replaces the file at `path` by `bytes`, so that a reader sees either the old
// contents or the new ones and never a mix: the bytes go to a new temporary
// file beside it, which is flushed to disk and renamed over `path`; the folder
// is flushed too. `mode` is the new file's permission (less the umask), e.g.
// 0600 for files that may hold secrets. On failure the old file is untouched
// and the temporary file removed. The folder must exist.
int ReplaceFileAtomically(const std::string& path, std::string_view bytes, mode_t mode);
