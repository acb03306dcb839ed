// The mirror of a grabbed site: a URL's folder levels and file name become a
// chain of folders and a file under the download folder.
//
// Nothing is ever made outside the download folder. Every level's name is
// made safe first (foundation/mirror/mirror_names.h); then the chain is
// walked with openat and O_NOFOLLOW from the download folder down, so a
// symbolic link standing anywhere in the mirror is an error (-ELOOP or
// -ENOTDIR), never followed, and a file standing where a folder is needed
// gives -ENOTDIR. Only "missing" (ENOENT) leads to creating a level; any
// other lookup error is returned. Folders get mode 0777 and files 0666, both
// less the umask. The download folder itself must exist (-ENOENT otherwise);
// it may be reached through links, as the user chose it.
//
// The returned references are the download folder's path followed by the
// safe names. Write a prepared file with WriteWholeFile / CFile::
// WriteDataFork, which replace the final name without following it.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "foundation/errors/status.h"
#include "foundation/files/file_ref.h"
#include "foundation/text/fixed_string.h"

// One level of the chain: opens the folder `name` (a name MirrorNameFromSegment
// made) inside the open folder `parent` without following a link, making it
// first when it is missing and `create` is set. The new descriptor (O_PATH),
// or a negative status: -ELOOP for a link at the name, -ENOTDIR for another
// item, -ENOENT when missing and not to be made. `made` (when given) tells
// whether this call made the folder.
[[nodiscard]] int OpenMirrorLevel(int parent, const std::string& name, bool create, bool* made = nullptr);

// Makes every missing level of `segments` (outermost first, as the URL
// writes them, percent escapes included) below `basePath`; empty segments are
// skipped. Success with `folder` naming the innermost folder, or the failure
// (levels made before it stay).
CStatus MakeLocalFolder(std::string_view basePath, std::span<const std::string> segments, CFileRef& folder);
CStatus MakeLocalFolder(const char* basePath, const TPooledList<CFixedString255>& segments, CFileRef& folder);

// The file `fileName` (already percent-decoded) in the folder of `segments`.
// The folders are made in both modes. An empty name becomes "Index.html";
// `fileName` receives the name as it stands on disk.
//
// Create mode (`create` set): an existing plain file of the name gives
// kStatusDuplicateName (-EEXIST) unless `overwrite` is set, and is otherwise
// kept with its content; a missing one is created empty. The type and
// creator codes are then set on the file (not reported when the file system
// keeps no labels). Success with `file` naming it, or the failure.
//
// Lookup mode: success when a plain file of the name exists (`file` names
// it) and when it is missing (`file` is then emptied), or the failure.
//
// In both modes a folder standing at the name gives -EISDIR, a symbolic link
// -ELOOP, any other kind of item -EINVAL.
CStatus PrepareLocalFile(bool create, bool overwrite, std::string_view basePath, std::span<const std::string> segments,
                         std::string& fileName, std::uint32_t creator, std::uint32_t type, CFileRef& file);
CStatus PrepareLocalFile(bool create, bool overwrite, const char* basePath, const TPooledList<CFixedString255>& segments,
                         CFixedString255& fileName, std::uint32_t creator, std::uint32_t type, CFileRef& file);
