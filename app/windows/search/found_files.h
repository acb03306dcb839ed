// The tree of a search's results: folders by name from the root folder down,
// each with the files found directly in it (in the order found) and its
// sub-folders (in the order first met).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "foundation/containers/pooled_list.h"
#include "foundation/files/file_ref.h"
#include "foundation/text/fixed_string.h"

struct CFoundFile {
    CFileRef mRef;
    CFixedString255 mName;
    std::uint64_t mSize = 0;
    std::int64_t mModified = 0;  // seconds since 1970, UTC
};

class CFolderNode {
public:
    CFolderNode(CFolderNode* parent, const CFixedString255& name) : mParent(parent), mName(name) {}

    CFolderNode* GetParent() const { return mParent; }
    const CFixedString255& GetName() const { return mName; }
    void SetName(const CFixedString255& name) { mName = name; }
    const std::vector<CFoundFile>& Files() const { return mFiles; }
    const std::vector<std::unique_ptr<CFolderNode>>& Children() const { return mChildren; }

    // The child of that exact name (bytes compared), or null.
    CFolderNode* FindChild(const CFixedString255& name) const;
    CFolderNode* FindOrAddChild(const CFixedString255& name);
    // Following the names from this node; an empty path gives this node.
    CFolderNode* FindNodeAtPath(const TPooledList<CFixedString255>& path);
    CFolderNode* FindOrMakeNodeAtPath(const TPooledList<CFixedString255>& path);
    // Appends a copy unless a file with the same reference is there.
    void AddFile(const CFoundFile& file);
    bool HasFile(const CFileRef& ref) const;
    // Frees every file and child.
    void Clear();

    // The folder's path on disk: the names from the top node below the root
    // down to this one ("/" first, as the path lists give it). "" for the root.
    std::string DiskPath() const;

private:
    CFolderNode* mParent;
    CFixedString255 mName;
    std::vector<CFoundFile> mFiles;
    std::vector<std::unique_ptr<CFolderNode>> mChildren;
};

// Files a found file under its folder path; the same file filed twice is
// kept once.
void FileFound(CFolderNode& root, const TPooledList<CFixedString255>& path, const CFoundFile& file);
