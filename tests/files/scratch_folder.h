// A private folder for one test on the real file system, removed with
// everything in it when the test ends, and small helpers around it.
#pragma once

#include <ftw.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "tests/support/temp_dir.h"

// The file tests' name for the shared temporary folder, with their
// spelling of its accessors.
class CScratchFolder : public testsupport::TempDir {
public:
    bool IsReady() const { return !Path().empty(); }
    std::string At(const std::string& relative) const { return File(relative); }
};

inline bool WriteTextFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out);
}

inline std::string ReadTextFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline bool MakeFolder(const std::string& path) { return ::mkdir(path.c_str(), 0777) == 0; }

inline mode_t ModeOf(const std::string& path)
{
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0 ? (info.st_mode & 07777) : 0;
}

inline bool ItemExists(const std::string& path)
{
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0;
}

// True when the file system under `folder` keeps "user." attributes.
inline bool SupportsUserAttributes(const std::string& folder)
{
    std::string probe = folder + "/.xattr-probe";
    if (!WriteTextFile(probe, "")) return false;
    bool supported = ::setxattr(probe.c_str(), "user.tidewell.probe", "1", 1, 0) == 0;
    ::unlink(probe.c_str());
    return supported;
}

// Every item under `folder` (the folder `skip` excluded), as relative path
// -> kind, size, mode, modification time and link target.
inline std::map<std::string, std::string> SnapshotTree(const std::string& folder, const std::string& skip = "")
{
    static thread_local std::map<std::string, std::string>* sOut;
    static thread_local std::string sRoot, sSkip;
    std::map<std::string, std::string> out;
    sOut = &out;
    sRoot = folder;
    sSkip = skip;
    ::nftw(folder.c_str(), [](const char* p, const struct stat* s, int type, struct FTW*) {
        std::string path(p);
        if (!sSkip.empty() && (path == sSkip || path.rfind(sSkip + "/", 0) == 0)) return 0;
        std::ostringstream line;
        line << type << ' ' << s->st_size << ' ' << (s->st_mode & 07777) << ' ' << s->st_mtim.tv_sec << '.'
             << s->st_mtim.tv_nsec;
        if (type == FTW_SL) {
            char target[4096];
            ssize_t n = ::readlink(p, target, sizeof target);
            if (n > 0) line << " -> " << std::string(target, static_cast<std::size_t>(n));
        }
        (*sOut)[path.substr(sRoot.size())] = line.str();
        return 0;
    }, 16, FTW_PHYS);
    return out;
}

// Sets the umask for one scope.
class CUmaskScope {
public:
    explicit CUmaskScope(mode_t mask) : mOld(::umask(mask)) {}
    ~CUmaskScope() { ::umask(mOld); }

private:
    mode_t mOld;
};
