#include "foundation/files/file_services.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstring>

#include "foundation/errors/status_codes.h"
#include "platform/posix/errno_status.h"
#include "foundation/text/text_encodings.h"

bool IsWeblocFile(const CFileRef& file)
{
    std::string_view extension = file.Extension();
    static constexpr std::string_view kWebloc = "webloc";
    if (extension.size() != kWebloc.size()) return false;
    for (std::size_t i = 0; i < kWebloc.size(); ++i)
        if (AsciiLower(extension[i]) != kWebloc[i]) return false;
    return true;
}

mode_t CurrentUmask()
{
    if (std::FILE* status = std::fopen("/proc/self/status", "re")) {
        char line[256];
        unsigned int mask = 0;
        bool found = false;
        while (!found && std::fgets(line, sizeof line, status))
            found = std::sscanf(line, "Umask: %o", &mask) == 1;
        std::fclose(status);
        if (found) return static_cast<mode_t>(mask);
    }
    // Without /proc the mask can only be read by setting it for a moment.
    mode_t mask = ::umask(077);
    ::umask(mask);
    return mask;
}

CStatus AddReadWritePermissions(const CFileRef& item)
{
    if (!item.IsValid()) return CStatus::FromCode(-EINVAL);
    struct stat info;
    if (::lstat(item.c_str(), &info) != 0) return CStatus::FromCode(ErrnoStatus());
    if (S_ISLNK(info.st_mode)) return CStatus::FromCode(-ELOOP);
    mode_t mode = (info.st_mode & 07777) | (0666 & ~CurrentUmask());
    return CStatus::FromCode(::chmod(item.c_str(), mode) == 0 ? 0 : ErrnoStatus());
}
