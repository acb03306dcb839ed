// Named text resources: plain files in the resources folder.
#include <cstdlib>

#include "foundation/text/text_encodings.h"
#include "platform/posix/atomic_file.h"

#ifndef TIDEWELL_RESOURCE_DIR
#define TIDEWELL_RESOURCE_DIR "resources"
#endif

std::string ResourceFolder()
{
    const char* overridden = std::getenv("TIDEWELL_RESOURCES");
    if (overridden != nullptr && *overridden != '\0') return overridden;
    return TIDEWELL_RESOURCE_DIR;
}

bool LoadNamedTextResource(const char* name, std::string& out)
{
    out.clear();
    // A resource is named, never a path into other folders.
    if (name == nullptr || *name == '\0' || std::string_view(name).find('/') != std::string_view::npos ||
        std::string_view(name) == "." || std::string_view(name) == "..")
        return false;
    std::string path = ResourceFolder() + "/" + name;
    return ReadFileBytes(path, out) == 0;
}
