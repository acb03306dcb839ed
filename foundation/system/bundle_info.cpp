#include "foundation/system/bundle_info.h"

#include <climits>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>

#include "foundation/text/text_encodings.h"

#ifndef TIDEWELL_VERSION
#error "TIDEWELL_VERSION comes from the project version (foundation/system/CMakeLists.txt)"
#endif

const char* GetBundleIdentifier()
{
    return "tidewell";
}

const char* GetBundleShortVersion()
{
    return TIDEWELL_VERSION;
}

bool GetApplicationFolder(CFixedString255& folder, std::string& executable)
{
    char buffer[PATH_MAX];
    ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0) return false;
    std::string path(buffer, static_cast<std::size_t>(length));
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return false;
    std::string parent = slash == 0 ? "/" : path.substr(0, slash);
    if (parent.size() > CFixedString255::kCapacity) return false;
    folder = parent.c_str();
    executable = path;
    return true;
}

SystemStatus GetBundleResourceRef(const char* name, const char* type, std::string& path)
{
    if (name == nullptr || *name == '\0' || std::string_view(name).find('/') != std::string_view::npos)
        return kSysBadParameter;
    std::string candidate = ResourceFolder() + "/" + name;
    if (type != nullptr && *type != '\0') {
        if (std::string_view(type).find('/') != std::string_view::npos) return kSysBadParameter;
        candidate.append(".").append(type);
    }
    struct stat info;
    if (::stat(candidate.c_str(), &info) != 0) return kSysFileNotFound;
    path = candidate;
    return kSysNoError;
}

namespace {

// An os-release value: quoted with " or ' (backslash escapes inside "), or bare.
std::string Unquote(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        char quote = value.front();
        value = value.substr(1, value.size() - 2);
        std::string out;
        for (std::size_t i = 0; i < value.size(); ++i) {
            if (quote == '"' && value[i] == '\\' && i + 1 < value.size()) ++i;
            out.push_back(value[i]);
        }
        return out;
    }
    return std::string(value);
}

}  // namespace

void ParseOSRelease(std::string_view text, SystemRelease& release)
{
    std::string name, prettyName;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        while (!line.empty() && IsAsciiSpace(static_cast<unsigned char>(line.back()))) line.remove_suffix(1);
        std::size_t equals = line.find('=');
        if (line.empty() || line.front() == '#' || equals == std::string_view::npos) continue;
        std::string_view key = line.substr(0, equals);
        std::string value = Unquote(line.substr(equals + 1));
        if (key == "PRETTY_NAME") prettyName = value;
        else if (key == "NAME") name = value;
        else if (key == "VERSION_ID") release.osVersion = value;
    }
    release.osName = prettyName.empty() ? name : prettyName;
}

SystemRelease GetSystemRelease()
{
    SystemRelease release;
    struct utsname names;
    if (::uname(&names) == 0) {
        release.kernelName = names.sysname;
        release.kernelRelease = names.release;
        release.machine = names.machine;
    }
    for (const char* path : {"/etc/os-release", "/usr/lib/os-release"}) {
        std::ifstream file(path);
        if (!file) continue;
        std::stringstream text;
        text << file.rdbuf();
        ParseOSRelease(text.str(), release);
        break;
    }
    return release;
}
