#include "foundation/files/path_text.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <memory>

#include "foundation/errors/status_codes.h"
#include "platform/posix/errno_status.h"

CStatus AbsolutePathOf(const std::string& path, std::string& absolute)
{
    if (path.empty()) return CStatus::FromCode(-EINVAL);
    std::string full;
    if (path[0] != '/') {
        std::unique_ptr<char, decltype(&std::free)> cwd(::getcwd(nullptr, 0), &std::free);
        if (!cwd) return CStatus::FromCode(ErrnoStatus());
        full = cwd.get();
        full += '/';
    }
    full += path;

    std::string clean;
    std::size_t at = 0;
    bool endsInDotDot = false;
    while (at < full.size()) {
        std::size_t end = full.find('/', at);
        if (end == std::string::npos) end = full.size();
        std::string_view part(full.data() + at, end - at);
        at = end + 1;
        endsInDotDot = part == "..";
        if (part.empty() || part == ".") continue;
        clean += '/';
        clean.append(part);
    }
    if (clean.empty()) clean = "/";
    if (endsInDotDot) {
        std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(clean.c_str(), nullptr), &std::free);
        if (!resolved) return CStatus::FromCode(ErrnoStatus());
        clean = resolved.get();
    }
    absolute = std::move(clean);
    return {};
}

std::string ParentPathOf(const std::string& absolute)
{
    if (absolute.empty() || absolute == "/") return {};
    std::size_t slash = absolute.rfind('/');
    if (slash == std::string::npos) return {};
    return slash == 0 ? "/" : absolute.substr(0, slash);
}
