// What the program knows about itself and the system it runs on.
#pragma once

#include <string>
#include <string_view>

#include "foundation/errors/status_codes.h"
#include "foundation/text/fixed_string.h"

// The application's identifier: it names the preference folder
// ($XDG_CONFIG_HOME/tidewell) and the single-instance socket.
const char* GetBundleIdentifier();

// The short version text of this build ("1.0"), from the project version.
const char* GetBundleShortVersion();

// The folder that holds the running program (its path without the last
// name) and the program's own path. False, with both unchanged, when the
// path cannot be read or the folder's path is longer than 255 bytes.
bool GetApplicationFolder(CFixedString255& folder, std::string& executable);

// The path of the resource "<name>.<type>" (just "<name>" for an empty type)
// in the resources folder. kSysFileNotFound when there is no such file,
// kSysBadParameter for a name that is empty or holds a '/'.
[[nodiscard]] SystemStatus GetBundleResourceRef(const char* name, const char* type, std::string& path);

struct SystemRelease {
    std::string kernelName;     // "Linux"
    std::string kernelRelease;  // "6.1.0-13-amd64"
    std::string machine;        // "x86_64"
    std::string osName;         // PRETTY_NAME of os-release: "Debian GNU/Linux 12 (bookworm)"
    std::string osVersion;      // VERSION_ID of os-release: "12"
};

// uname and /etc/os-release (else /usr/lib/os-release); fields that cannot be
// read stay empty.
SystemRelease GetSystemRelease();

// Reads PRETTY_NAME (NAME when it is missing) and VERSION_ID from the text
// of an os-release file into `release`, unquoting the values.
void ParseOSRelease(std::string_view text, SystemRelease& release);
