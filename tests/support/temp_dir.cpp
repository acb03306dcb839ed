#include "tests/support/temp_dir.h"

#include "tests/support/file_bytes.h"

#include <ftw.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <system_error>
#include <vector>

namespace testsupport {

TempDir::TempDir()
{
    const char* base = std::getenv("TMPDIR");
    std::string pattern = (base && *base) ? base : "/tmp";
    pattern += "/tidewell-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!mkdtemp(buffer.data()))
        throw std::system_error(errno, std::generic_category(), "mkdtemp " + pattern);
    mPath = buffer.data();
}

TempDir::~TempDir()
{
    // Folders a test made unreadable or unwritable are opened up first, or
    // their contents would stay behind.
    ::nftw(mPath.c_str(), [](const char* path, const struct stat* info, int type, struct FTW*) {
        if (type == FTW_D || type == FTW_DNR) ::chmod(path, (info->st_mode & 07777) | 0700);
        return 0;
    }, 16, FTW_PHYS);
    std::error_code ignored;
    std::filesystem::remove_all(mPath, ignored);
}

std::string TempDir::File(std::string_view name) const
{
    std::string path = mPath;
    path += '/';
    path += name;
    return path;
}

std::string TempDir::Write(std::string_view name, std::string_view bytes) const
{
    std::string path = File(name);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    WriteFileBytes(path, bytes);
    return path;
}

std::string TempDir::MakeFolder(std::string_view name) const
{
    std::string path = File(name);
    std::filesystem::create_directories(path);
    return path;
}

}  // namespace testsupport
