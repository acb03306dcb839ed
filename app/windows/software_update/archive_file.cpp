#include "app/windows/software_update/archive_file.h"

#include <fcntl.h>

#include "foundation/files/unique_name.h"
#include "platform/posix/atomic_file.h"
#include "platform/posix/errno_status.h"
#include "platform/posix/unique_fd.h"
#include "platform/posix/write_all.h"

int WriteNewFile(const std::string& folder, const std::string& name, std::string_view bytes, std::string& outPath)
{
    CUniqueFd folderFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folderFd.IsOpen()) return ErrnoStatus();
    // Written whole, then given a name nobody else uses.
    AtomicWriteOptions options;
    options.mode = 0644;
    options.exactMode = true;
    options.replace = false;
    const auto body = [bytes](int fd) { return WriteAll(fd, bytes); };
    int status = -EEXIST;
    std::string candidate = name;
    for (int attempt = 0; attempt < 8 && status == -EEXIST; ++attempt) {
        status = WriteFileAtomically(folderFd.Get(), candidate.c_str(), body, options);
        if (status == 0) {
            outPath = folder + "/" + candidate;
            return 0;
        }
        candidate = MakeUniqueFileName(name);
    }
    return status;
}
