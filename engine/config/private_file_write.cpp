#include "engine/config/private_file_write.h"

#include <cerrno>

#include "platform/posix/atomic_file.h"

CStatus WritePrivateFile(const std::string& folderPath, const std::string& name, std::string_view bytes, bool replace)
{
    if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..") return CStatus::FromCode(-EINVAL);
    if (folderPath.empty()) return CStatus::FromCode(-ENOENT);
    AtomicWriteOptions options;
    options.mode = 0600;
    options.exactMode = true;
    options.replace = replace;
    options.syncFolder = true;
    return CStatus::FromCode(WriteFileAtomically(folderPath + "/" + name, bytes, options));
}
