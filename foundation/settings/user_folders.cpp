#include "foundation/settings/user_folders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "platform/posix/atomic_file.h"
#include "platform/posix/errno_status.h"

namespace {

std::string AbsoluteEnvironmentPath(const char* name)
{
    const char* value = std::getenv(name);
    if (value == nullptr || value[0] != '/') return std::string();
    return value;
}

std::string HomeSubfolder(const char* relative)
{
    std::string home = HomeFolder();
    if (home.empty() || home.back() != '/') home += '/';
    return home + relative;
}

// The value part of a user-dirs line: a double-quoted shell word (backslash
// escapes the next char) or a bare word up to a blank or '#'.
std::string UnquoteValue(std::string_view value)
{
    std::string out;
    if (!value.empty() && value.front() == '"') {
        for (std::size_t i = 1; i < value.size(); ++i) {
            char c = value[i];
            if (c == '"') return out;
            if (c == '\\' && i + 1 < value.size()) c = value[++i];
            out += c;
        }
        return std::string();  // no closing quote
    }
    for (char c : value) {
        if (c == ' ' || c == '\t' || c == '#') break;
        out += c;
    }
    return out;
}

}  // namespace

std::string HomeFolder()
{
    std::string home = AbsoluteEnvironmentPath("HOME");
    if (!home.empty()) return home;
    std::vector<char> buffer(16384);
    struct passwd entry {};
    struct passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
        found->pw_dir != nullptr && found->pw_dir[0] == '/') {
        return found->pw_dir;
    }
    return "/";
}

std::string ConfigHomeFolder()
{
    std::string folder = AbsoluteEnvironmentPath("XDG_CONFIG_HOME");
    return folder.empty() ? HomeSubfolder(".config") : folder;
}

std::string DataHomeFolder()
{
    std::string folder = AbsoluteEnvironmentPath("XDG_DATA_HOME");
    return folder.empty() ? HomeSubfolder(".local/share") : folder;
}

std::string CacheHomeFolder()
{
    std::string folder = AbsoluteEnvironmentPath("XDG_CACHE_HOME");
    return folder.empty() ? HomeSubfolder(".cache") : folder;
}

std::string ParseDownloadDirEntry(std::string_view dirsText, const std::string& home)
{
    static constexpr std::string_view kKey = "XDG_DOWNLOAD_DIR=";
    std::string found;
    std::size_t start = 0;
    while (start <= dirsText.size()) {
        std::size_t end = dirsText.find('\n', start);
        if (end == std::string_view::npos) end = dirsText.size();
        std::string_view line = dirsText.substr(start, end - start);
        start = end + 1;
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
        if (line.substr(0, kKey.size()) != kKey) continue;
        std::string value = UnquoteValue(line.substr(kKey.size()));
        // The file allows only "$HOME/..." and absolute paths; the last
        // entry wins, as when the shell sources it.
        if (value == "$HOME" || value.rfind("$HOME/", 0) == 0) {
            found = home + value.substr(5);
        } else if (value == "${HOME}" || value.rfind("${HOME}/", 0) == 0) {
            found = home + value.substr(7);
        } else if (!value.empty() && value.front() == '/') {
            found = value;
        } else {
            found.clear();
        }
        while (found.size() > 1 && found.back() == '/') found.pop_back();
    }
    return found;
}

std::string UserDownloadFolder()
{
    std::string home = HomeFolder();
    std::string dirsPath = ConfigHomeFolder() + "/user-dirs.dirs";
    // Read like any whole file: a pipe at the name must not hold start-up.
    std::string text;
    if (ReadFileBytes(dirsPath, text) == 0) {
        std::string folder = ParseDownloadDirEntry(text, home);
        if (!folder.empty()) return folder;
    }
    return HomeSubfolder("Downloads");
}

CStatus MakeFolderChain(const std::string& path, mode_t mode)
{
    if (path.empty()) return CStatus::FromCode(-EINVAL);
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) return CStatus::FromCode(S_ISDIR(info.st_mode) ? 0 : -ENOTDIR);
    if (errno != ENOENT) return CStatus::FromCode(ErrnoStatus());
    std::size_t slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0) {
        if (CStatus status = MakeFolderChain(path.substr(0, slash), mode); status.Failed()) return status;
    }
    if (::mkdir(path.c_str(), mode) != 0 && errno != EEXIST) return CStatus::FromCode(ErrnoStatus());
    if (::stat(path.c_str(), &info) != 0) return CStatus::FromCode(ErrnoStatus());
    return CStatus::FromCode(S_ISDIR(info.st_mode) ? 0 : -ENOTDIR);
}
