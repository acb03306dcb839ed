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
// Reads tell "unreadable" (a negative status) apart from "empty" (0 and no
// bytes), and open the file read-only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/files/file_ref.h"

// 0 with every byte of the file; a negative status (-ENOENT when missing)
// with `bytes` emptied.
int ReadWholeFile(const CFileRef& file, std::string& bytes);
int ReadDataFork(const CFileRef& file, std::vector<std::uint8_t>& bytes);

// Creates the file when missing, else replaces its content. 0 or a negative
// status; -EISDIR when a folder has the name.
int WriteWholeFile(const CFileRef& file, const void* bytes, std::size_t count);
// The same with the content that `writeBody` writes to the new file (0 or a
// negative errno value), so a large body can stream in.
int WriteWholeFileWith(const CFileRef& file, const std::function<int(int fd)>& writeBody);
inline int WriteWholeFile(const CFileRef& file, std::string_view bytes)
{
    return WriteWholeFile(file, bytes.data(), bytes.size());
}
