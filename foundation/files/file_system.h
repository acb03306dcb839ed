// File-system routines over file references (paths): parents, catalog
// information, the recursive folder walk, folder listings and the file
// manager's requests.
//
// Failures are CStatus values whose codes follow
// foundation/errors/status_codes.h. The other platform's
// inter-application events and process look-ups have no Linux meaning and
// do not exist here; file managers watch folders themselves (inotify), so an
// item needs no announcement, and an alias is a symbolic link.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "foundation/errors/status.h"
#include "foundation/files/file_ref.h"

// The folder holding the item. For "/" the parent comes back empty with
// success, which ends every upward walk.
CStatus GetParentRef(const CFileRef& item, CFileRef& parent);

// The item's node (inode) number and whether it is a folder, either output
// optional; a symbolic link is reported as itself (not a folder).
CStatus GetRefNodeIDAndKind(const CFileRef& item, std::uint64_t* nodeID, bool* isFolder);

// One item handed to a folder walk's callback (`name` is valid only during
// the call).
struct CWalkItem {
    CFileRef ref;
    std::string_view name;
    int depth = 0;  // 1 for the items directly in the walked folder
    std::uint64_t nodeID = 0;
    bool isFolder = false;
    bool isSymbolicLink = false;
};
// Returns true to stop the walk.
using FolderWalkCallback = std::function<bool(const CWalkItem& item)>;

// Hands every item under `folder` to `callback`, a folder before its
// contents, the items of each folder in byte order of their names. A depth
// bound of 0 walks every level, 1 only the items directly in the folder.
// Symbolic links are items, never followed (only `folder` itself may be
// one). A subfolder that cannot be entered (no access, or removed or
// replaced while walking) is skipped with its contents; its siblings are
// still walked. Succeeds when done or stopped; -EINVAL without a callback;
// the error that ended the walk (including one opening `folder`) otherwise.
CStatus WalkFolderTree(const CFileRef& folder, int depthBound, const FolderWalkCallback& callback);

// The items directly in the folder, in byte order of their names, replacing
// `items`; on an error `items` is emptied and the error returned.
CStatus ListFolderRefs(const CFileRef& folder, std::vector<CFileRef>& items);
// Appends to `items` every item of the folder that is not a folder, or all
// items; nothing is appended on an error.
CStatus ListFolderFiles(const CFileRef& folder, std::vector<CFileRef>& items);
CStatus ListFolderItems(const CFileRef& folder, std::vector<CFileRef>& items);

// Nothing to do on Linux: always succeeds.
CStatus TellFinderToUpdateItem(const CFileRef& item);
// Makes `name` in `folder` a symbolic link to `target` (by absolute path)
// and names it in `alias`; -EEXIST when the name is taken.
CStatus TellFinderToMakeAlias(const CFileRef& target, const CFileRef& folder, const char* name, CFileRef& alias);
