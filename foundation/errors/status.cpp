#include "foundation/errors/status.h"

#include <cerrno>
#include <cstring>
#include <new>
#include <utility>

#include "foundation/errors/framework_exception.h"
#include "foundation/errors/status_codes.h"

CStatus::CStatus(std::int32_t code, std::string text) noexcept : mCode(code), mText(std::move(text)) {}

CStatus CStatus::Failure(std::int32_t code, std::string text)
{
    return CStatus(code == 0 ? -EIO : code, std::move(text));
}

CStatus CStatus::FromCode(std::int32_t code)
{
    if (code == 0) return {};
    return CStatus(code, StatusCodeText(code));
}

namespace {

const char* OwnCodeText(std::int32_t code)
{
    switch (code) {
    case kSysNotStarted: return "The service was used before it started";
    case kSysLaunchFailed: return "The desktop opener could not be started";
    case kSysNoMapping: return "No file-name mapping for the name";
    case kSysNoGetURLHandler: return "No get-URL handler is installed";
    case kSysKeychainItemNotFound: return "No keychain item for the account";
    case kSysKeychainUnavailable: return "No keychain service is running";
    case kSysKeychainLocked: return "The keychain is locked";
    case kSysKeychainFailed: return "The keychain failed";
    case kSysKeychainTooLong: return "The password is too long";
    case kSysScriptingUnavailable: return "No scripting on this system";
    case kMailNoServer: return "No mail server is set";
    case kMailNoRecipient: return "No mail recipient is set";
    case kMailBadAddress: return "A mail address is not valid";
    case kMailPasswordNeedsTls: return "The mail server offers no TLS for the password";
    case kMailBadReply: return "The mail server's answer is not an SMTP reply";
    default: return nullptr;
    }
}

}  // namespace

std::string StatusCodeText(std::int32_t code)
{
    if (code == 0) return {};
    if (code < 0 && code >= kLowestErrnoStatus) {
        if (const char* text = strerrordesc_np(-code)) return text;
    }
    if (const char* text = OwnCodeText(code)) return text;
    if (code < kMailNetworkBase && code > kMailNetworkBase - 20) return "The connection to the mail server failed";
    return "error " + std::to_string(code);
}

CStatus StatusFromException(const std::exception& error)
{
    if (const auto* framework = dynamic_cast<const CFrameworkException*>(&error)) {
        return CStatus::Failure(framework->GetErrorCode(), framework->GetErrorString());
    }
    if (dynamic_cast<const std::bad_alloc*>(&error) != nullptr) return CStatus::FromCode(-ENOMEM);
    return CStatus::Failure(-EIO, error.what());
}

CStatus StatusFromCurrentException()
{
    try {
        throw;
    } catch (const std::exception& error) {
        return StatusFromException(error);
    }
}
