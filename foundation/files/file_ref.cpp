#include "foundation/files/file_ref.h"

CFileRef::CFileRef(std::string path) : mPath(std::move(path))
{
    while (mPath.size() > 1 && mPath.back() == '/') mPath.pop_back();
}

std::string_view CFileRef::Name() const
{
    std::string_view path(mPath);
    if (path == "/") return path;
    std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string_view CFileRef::Extension() const
{
    std::string_view name = Name();
    std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0) return {};
    return name.substr(dot + 1);
}

CFileRef CFileRef::Child(std::string_view name) const
{
    if (mPath.empty() || name.empty()) return CFileRef();
    std::string path = mPath;
    if (path.empty() || path.back() != '/') path += '/';
    path.append(name);
    return CFileRef(std::move(path));
}
