#include "foundation/files/directory_iterator.h"

#include "foundation/files/file_system.h"

CStatus CDirectoryIterator::Iterate()
{
    mCancel = false;
    return WalkFolderTree(mRoot, 0, [this](const CWalkItem& item) {
        ProcessItem(item.ref);
        return mCancel;
    });
}

void CDirectoryIterator::ProcessItem(const CFileRef&) { ++mItemCount; }
