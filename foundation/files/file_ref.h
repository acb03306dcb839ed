// A file reference: the path of a file-system item.
//
// The whole file layer names items by path; a reference is only a path
// (absolute, or relative to the current folder), kept as the UTF-8 bytes the
// file system uses, with trailing slashes removed ("/" stays "/"). An empty
// reference names nothing; routines given one fail with -EINVAL. Holding a
// reference keeps nothing open, so the item it names may change or vanish.
#pragma once

#include <string>
#include <string_view>

class CFileRef {
public:
    CFileRef() = default;
    explicit CFileRef(std::string path);
    explicit CFileRef(const char* path) : CFileRef(std::string(path ? path : "")) {}

    const std::string& Path() const { return mPath; }
    const char* c_str() const { return mPath.c_str(); }
    [[nodiscard]] bool IsValid() const { return !mPath.empty(); }

    // The last component ("/" for the root).
    std::string_view Name() const;
    // The text after the last '.' of the name; empty when the name has no
    // '.' other than a leading one.
    std::string_view Extension() const;
    // The item `name` inside this folder; empty when either part is empty.
    CFileRef Child(std::string_view name) const;

    friend bool operator==(const CFileRef& a, const CFileRef& b) { return a.mPath == b.mPath; }
    friend bool operator<(const CFileRef& a, const CFileRef& b) { return a.mPath < b.mPath; }

private:
    std::string mPath;
};
