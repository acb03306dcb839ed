#include "foundation/system/path_names.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <sys/stat.h>
#include <vector>

namespace {

// ':' and '/' swap between the two forms inside a name.
void AppendSwappingSeparators(std::string& out, std::string_view name, char from, char to)
{
    for (char c : name) out.push_back(c == from ? to : c);
}

// A missing folder on the way reads as missing, like a missing item.
SystemStatus StatusFromErrno(int error)
{
    if (error == ENOENT || error == ENOTDIR) return kSysFileNotFound;
    return error > 0 ? -error : -EIO;
}

}  // namespace

SystemStatus HFSPathToPOSIXPath(const char* colonPath, char* out, std::size_t capacity)
{
    if (out != nullptr && capacity > 0) std::memset(out, 0, capacity);
    if (colonPath == nullptr || out == nullptr || capacity == 0) return kSysBadParameter;
    std::string_view rest(colonPath);
    std::string posix;
    std::size_t colon = rest.find(':');
    if (colon != std::string_view::npos && colon > 0) {
        // Absolute: the volume is the root.
        posix.assign(1, '/');
        rest.remove_prefix(colon + 1);
    } else if (colon == 0) {
        rest.remove_prefix(1);
    }
    bool first = true;
    while (!rest.empty()) {
        std::size_t end = rest.find(':');
        std::string_view name = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        if (name.empty()) continue;
        if (!first) posix.push_back('/');
        AppendSwappingSeparators(posix, name, '/', ':');
        first = false;
    }
    if (posix.size() + 1 > capacity) return kSysBadParameter;
    std::memcpy(out, posix.c_str(), posix.size() + 1);
    return kSysNoError;
}

void POSIXPathToHFSPath(CFixedString255& path)
{
    std::string_view text = path.View();
    if (text.empty()) return;
    bool absolute = text.front() == '/';
    std::vector<std::string_view> names;
    while (!text.empty()) {
        std::size_t end = text.find('/');
        std::string_view name = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!name.empty()) names.push_back(name);
    }
    std::string colon = absolute ? kRootVolumeName : "";
    if (absolute && names.empty()) colon.push_back(':');  // the volume itself
    for (std::string_view name : names) {
        // A lone relative name stands without a colon.
        if (absolute || names.size() > 1) colon.push_back(':');
        AppendSwappingSeparators(colon, name, ':', '/');
    }
    if (colon.size() > CFixedString255::kCapacity) return;
    path = colon.c_str();
}

bool IsPackage(const char*)
{
    return false;
}

std::string CopyRefName(const char* path)
{
    if (path == nullptr || *path == '\0') return "";
    std::string_view text(path);
    while (text.size() > 1 && text.back() == '/') text.remove_suffix(1);
    if (text == "/") return "/";
    std::size_t slash = text.rfind('/');
    return std::string(slash == std::string_view::npos ? text : text.substr(slash + 1));
}

SystemStatus ListPathComponents(const char* path, TPooledList<CFixedString255>& names)
{
    names.Clear();
    if (path == nullptr || *path == '\0') return kSysBadParameter;
    struct stat info;
    if (::lstat(path, &info) != 0) return StatusFromErrno(errno);

    std::string_view text(path);
    while (text.size() > 1 && text.back() == '/') text.remove_suffix(1);
    if (text == "/") return kSysNoError;  // the root has no enclosing folder
    std::size_t slash = text.rfind('/');
    std::string folder = slash == std::string_view::npos ? "." : slash == 0 ? "/" : std::string(text.substr(0, slash));
    char resolved[PATH_MAX];
    if (::realpath(folder.c_str(), resolved) == nullptr) return StatusFromErrno(errno);

    names.Append(CFixedString255(kRootVolumeName));
    std::string_view rest(resolved);
    while (!rest.empty()) {
        std::size_t end = rest.find('/');
        std::string_view name = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        if (!name.empty()) names.Append(CFixedString255(name));
    }
    return kSysNoError;
}
