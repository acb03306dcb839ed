#include "app/windows/software_update/archive_file.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "foundation/files/unique_name.h"
#include "foundation/files/whole_file.h"

int WriteNewFile(const std::string& folder, const std::string& name, std::string_view bytes, std::string& outPath)
{
    // Written whole under a name nobody else uses, then moved into place.
    const std::string temporary = folder + "/." + MakeUniqueFileName("tidewell-download");
    int status = WriteWholeFile(CFileRef(temporary), bytes);
    if (status == 0 && ::chmod(temporary.c_str(), 0644) != 0) status = -errno;
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
