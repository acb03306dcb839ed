// Status codes of the platform services in this folder. 0 is success; every
// failure has its own negative code, so callers can tell a missing keychain
// item from a missing keychain. File-system failures are negative errno
// values, as in the file layer (foundation/files/file_status.h).
#pragma once

#include <cerrno>
#include <cstdint>

using SystemStatus = std::int32_t;

enum : SystemStatus {
    kSysNoError = 0,
    kSysNotStarted = -1,                // a wrapper object used before its Start
    kSysBadParameter = -EINVAL,         // empty, malformed or oversized input
    kSysFileNotFound = -ENOENT,         // no such file or folder
    kSysLaunchFailed = -7101,           // the desktop opener could not be started
    kSysNoMapping = -7102,              // the file-name table has no entry for the name
    kSysNoGetURLHandler = -7103,        // the application has not installed its get-URL handler
    kSysKeychainItemNotFound = -7201,   // the Secret Service holds no item for the account
    kSysKeychainUnavailable = -7202,    // no Secret Service is running
    kSysKeychainLocked = -7203,         // the keyring is locked
    kSysKeychainFailed = -7204,         // any other Secret Service error
    kSysKeychainTooLong = -7205,        // the password does not fit the settings' 255 bytes
    kSysScriptingUnavailable = -7301,   // no inter-application scripting on this system
};
