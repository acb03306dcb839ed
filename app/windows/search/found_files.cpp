#include "app/windows/search/found_files.h"

#include <algorithm>

CFolderNode* CFolderNode::FindChild(const CFixedString255& name) const
{
    for (const auto& child : mChildren)
        if (std::string_view(child->mName.c_str()) == std::string_view(name.c_str())) return child.get();
    return nullptr;
}

CFolderNode* CFolderNode::FindOrAddChild(const CFixedString255& name)
{
    if (CFolderNode* found = FindChild(name)) return found;
    mChildren.push_back(std::make_unique<CFolderNode>(this, name));
    return mChildren.back().get();
}

CFolderNode* CFolderNode::FindNodeAtPath(const TPooledList<CFixedString255>& path)
{
    CFolderNode* node = this;
    for (const CFixedString255& name : path)
        if ((node = node->FindChild(name)) == nullptr) return nullptr;
    return node;
}

CFolderNode* CFolderNode::FindOrMakeNodeAtPath(const TPooledList<CFixedString255>& path)
{
    CFolderNode* node = this;
    for (const CFixedString255& name : path) node = node->FindOrAddChild(name);
    return node;
}

bool CFolderNode::HasFile(const CFileRef& ref) const
{
    return std::any_of(mFiles.begin(), mFiles.end(), [&](const CFoundFile& file) { return file.mRef == ref; });
}

void CFolderNode::AddFile(const CFoundFile& file)
{
    if (!HasFile(file.mRef)) mFiles.push_back(file);
}

void CFolderNode::Clear()
{
    mFiles.clear();
    mChildren.clear();
}

std::string CFolderNode::DiskPath() const
{
    std::vector<const CFolderNode*> chain;
    for (const CFolderNode* node = this; node != nullptr && node->mParent != nullptr; node = node->mParent)
        chain.push_back(node);
    std::string path;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        std::string_view name = (*it)->mName.c_str();
        if (!path.empty() && path.back() != '/') path += '/';
        path += name;
    }
    return path;
}

void FileFound(CFolderNode& root, const TPooledList<CFixedString255>& path, const CFoundFile& file)
{
    if (CFolderNode* node = root.FindNodeAtPath(path); node != nullptr && node->HasFile(file.mRef)) return;
    root.FindOrMakeNodeAtPath(path)->AddFile(file);
}
