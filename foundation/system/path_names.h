// Names of files and folders along a path. Items are named by POSIX paths.
//
// The colon-separated form that older settings and the search window use is
// "<volume>:<folder>:...:<name>": its first component names the volume
// (the root, which ListPathComponents calls "/") and is dropped when the
// path is made POSIX; a ':' inside a POSIX name stands as '/' in the colon
// form and back. A path that starts with ':' or has no ':' is relative.
#pragma once

#include <cstddef>
#include <string>

#include "foundation/containers/pooled_list.h"
#include "foundation/errors/status_codes.h"
#include "foundation/text/fixed_string.h"

// The name ListPathComponents gives the root folder.
constexpr const char* kRootVolumeName = "/";

// Colon form to POSIX into `out` (`capacity` bytes with the NUL). `out` is
// cleared first; kSysBadParameter when the input is null or the result does
// not fit.
[[nodiscard]] SystemStatus HFSPathToPOSIXPath(const char* colonPath, char* out, std::size_t capacity);

// POSIX to colon form in place; unchanged when the result would not fit.
void POSIXPathToHFSPath(CFixedString255& path);

// Linux has no packages (folders shown as one file): always false.
[[nodiscard]] bool IsPackage(const char* path);

// The last name of the path ("/" for the root); "" for a null or empty path.
std::string CopyRefName(const char* path);

// Empties `names`, then fills it with the names of the folders that enclose
// the item, outermost first: "/" for the root, then each folder down to the
// item's own folder (symbolic links in the folders resolved, the item itself
// not). kSysFileNotFound when the item or a folder is missing, another
// negative errno value for other failures; the list is empty then.
[[nodiscard]] SystemStatus ListPathComponents(const char* path, TPooledList<CFixedString255>& names);
