#include "foundation/system/keychain_password.h"

#include <string>

#include "foundation/threads/worker_pool.h"
#include "platform/keychain/secret_store.h"

namespace {

constexpr const char* kKeychainService = "Tidewell";

bool IsEmpty(const char* text)
{
    return text == nullptr || *text == '\0';
}

std::string AccountName(const char* mailServer, const char* userName)
{
    return std::string(mailServer) + ":" + userName;
}

SystemStatus FromSecretStatus(SecretStatus status)
{
    switch (status) {
    case SecretStatus::kOK: return kSysNoError;
    case SecretStatus::kNotFound: return kSysKeychainItemNotFound;
    case SecretStatus::kUnavailable: return kSysKeychainUnavailable;
    case SecretStatus::kLocked: return kSysKeychainLocked;
    case SecretStatus::kFailed: break;
    }
    return kSysKeychainFailed;
}

void Wipe(std::string& secret)
{
    volatile char* bytes = secret.data();
    for (std::size_t i = 0; i < secret.size(); ++i) bytes[i] = '\0';
}

}  // namespace

SystemStatus StoreKeychainPassword(const char* mailServer, const char* userName, const char* password)
{
    if (IsEmpty(mailServer) || IsEmpty(userName) || IsEmpty(password)) return kSysNoError;
    if (std::char_traits<char>::length(password) > CFixedString255::kCapacity) return kSysKeychainTooLong;
    std::string account = AccountName(mailServer, userName);
    SecretStatus status = SecretStatus::kFailed;
    // The Secret Service is a D-Bus round trip that may wait for an unlock
    // prompt: never on a fiber.
    RunOnWorker([&] {
        // Items of the pair in other keyrings go too, so one item remains.
        DeleteSecret(kKeychainService, account);
        status = StoreSecret(kKeychainService, account, password);
    });
    return FromSecretStatus(status);
}

SystemStatus FindKeychainPassword(const char* mailServer, const char* userName, CFixedString255& password)
{
    if (IsEmpty(mailServer) || IsEmpty(userName)) return kSysNoError;
    std::string account = AccountName(mailServer, userName);
    std::string secret;
    SecretStatus found = SecretStatus::kFailed;
    RunOnWorker([&] { found = LookupSecret(kKeychainService, account, secret); });
    SystemStatus status = FromSecretStatus(found);
    if (status == kSysNoError) {
        if (secret.size() > CFixedString255::kCapacity) status = kSysKeychainTooLong;
        else password = secret.c_str();
    }
    Wipe(secret);
    return status;
}
