#include "app/windows/software_update/archive_file.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "foundation/files/unique_name.h"

namespace {

int WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return -errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return ::fsync(fd) == 0 ? 0 : -errno;
}

}  // namespace

int WriteNewFile(const std::string& folder, const std::string& name, std::string_view bytes, std::string& outPath)
{
    std::string temporary = folder + "/.tidewell-download-XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) return -errno;
    int status = ::fchmod(fd, 0644) == 0 ? WriteAll(fd, bytes) : -errno;
    if (::close(fd) != 0 && status == 0) status = -errno;
    if (status == 0) {
        status = -EEXIST;
        std::string candidate = name;
        for (int attempt = 0; attempt < 8 && status == -EEXIST; ++attempt) {
            const std::string path = folder + "/" + candidate;
            if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0) {
                outPath = path;
                return 0;
            }
            status = -errno;
            candidate = MakeUniqueFileName(name);
        }
    }
    ::unlink(temporary.c_str());
    return status;
}
