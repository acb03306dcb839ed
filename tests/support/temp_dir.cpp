#include "tests/support/temp_dir.h"

#include "tests/support/file_bytes.h"

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
