// The status convention of the whole program, and the program's own codes.
//
// A routine that reports a status returns 0 on success and a negative value
// on failure: either a negative errno value (-ENOENT, -EISDIR, ...; see
// platform/posix/errno_status.h) or one of the codes below. The codes of our
// own stay at -7100 and below, outside the errno range, so the two never
// meet. Every code of our own is registered here; their values are never
// reused. (The platform stand-ins below this layer answer with errno values
// only: the property-list reader's "malformed" is -EBADMSG.)
//
// Only -ENOENT means "missing": every other error is a failure the caller
// must not take for absence. Routines that answer a question return 1 for
// yes and 0 for no, with the same negative errors.
#pragma once

#include <cerrno>
#include <cstdint>

// Codes that stand for an errno meaning.
// The name is already taken (the crawl's "do not overwrite" answer).
inline constexpr int kStatusDuplicateName = -EEXIST;
// The operation has no meaning on this platform (inter-application events,
// process look-ups); such routines do nothing and return this.
inline constexpr int kStatusNoLinuxMeaning = -ENOSYS;

// The platform services of foundation/system. Callers can tell a missing
// keychain item from a missing keychain.
using SystemStatus = std::int32_t;

enum : SystemStatus {
    kSysNoError = 0,
    kSysBadParameter = -EINVAL,         // empty, malformed or oversized input
    kSysFileNotFound = -ENOENT,         // no such file or folder
    kSysNotStarted = -7100,             // a wrapper object used before its Start
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

// Sending mail (engine/mail).
enum : std::int32_t {
    kMailNoServer = -7401,          // no mail server is set
    kMailNoRecipient = -7402,       // neither the mail nor the settings name a recipient
    kMailBadAddress = -7403,        // an address that cannot go into MAIL FROM or RCPT TO
    kMailPasswordNeedsTls = -7404,  // the server offers no TLS and the account keeps the password from it
    kMailBadReply = -7405,          // the server's answer is not an SMTP reply
    kMailNetworkBase = -7420,       // minus the net::NetError value: a connection failure
};

// Our own codes must never read as an errno value (the kernel's stay above -4096).
inline constexpr int kLowestErrnoStatus = -4095;
static_assert(kSysNotStarted < kLowestErrnoStatus && kSysScriptingUnavailable < kLowestErrnoStatus);
static_assert(kMailNoServer < kLowestErrnoStatus && kMailNetworkBase < kLowestErrnoStatus);
