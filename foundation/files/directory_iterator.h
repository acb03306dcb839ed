// CDirectoryIterator: a walk of every item under a folder, at every depth,
// handing each to ProcessItem, which derived classes override (the update of
// a downloaded folder, the search of downloaded files).
//
// The walk is WalkFolderTree's (foundation/files/file_system.h): folders
// before their contents, symbolic links never followed, an unreadable
// subfolder skipped without its siblings. Derived classes that report
// progress mix in a broadcaster of their own.
#pragma once

#include <cstdint>

#include "foundation/errors/status.h"
#include "foundation/files/file_ref.h"
#include "foundation/text/fixed_string.h"

class CDirectoryIterator {
public:
    explicit CDirectoryIterator(const CFileRef& root) : mRoot(root) {}
    virtual ~CDirectoryIterator() = default;

    // Clears the cancel flag and walks every level under the root; succeeds,
    // or fails with the error that ended the walk. Setting mCancel ends it
    // after the item in hand.
    CStatus Iterate();

    // Called once for each item, folders included; adds one to the count.
    // Overrides call this to keep the count.
    virtual void ProcessItem(const CFileRef& item);

    // Read and written directly by derived classes and their owners.
    CFileRef mRoot;
    CFixedString255 mName;
    bool mCancel = false;
    std::uint64_t mItemCount = 0;
};
