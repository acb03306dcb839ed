// Passwords in the desktop's Secret Service (the login keyring), one item per
// (service, account) pair. There is deliberately no fallback store: when no
// Secret Service is running the calls fail with kUnavailable, and a password
// never lands in a plain file.
//
// The calls talk to the service over D-Bus and may wait for it (an unlock
// prompt, a slow start), so they belong on a worker thread, not on a fiber.
#pragma once

#include <string>
#include <string_view>

enum class SecretStatus {
    kOK = 0,
    kNotFound,     // the service answered; it holds no item for the account
    kUnavailable,  // no Secret Service on the session bus, or no session bus
    kLocked,       // the keyring is locked and was not unlocked
    kFailed,       // any other error of the service
};

// Stores `secret` for the account, replacing an item that is already there.
SecretStatus StoreSecret(std::string_view service, std::string_view account, std::string_view secret);

// Copies the account's secret into `secret`; `secret` is unchanged on failure.
SecretStatus LookupSecret(std::string_view service, std::string_view account, std::string& secret);

// Removes the account's item; kNotFound when there was none.
SecretStatus DeleteSecret(std::string_view service, std::string_view account);

// Name of a status for logs and test messages.
const char* SecretStatusName(SecretStatus status);
