// The mail account's password, kept in the desktop's Secret Service under
// the service "Tidewell" and the account "<mail server>:<user name>", one
// item per pair. Never stored anywhere else: without a running Secret
// Service both calls fail with kSysKeychainUnavailable.
#pragma once

#include "foundation/errors/status_codes.h"
#include "foundation/text/fixed_string.h"

// Replaces the account's password. Does nothing and returns kSysNoError when
// any of the three texts is empty; kSysKeychainTooLong when the password is
// longer than the 255 bytes the settings can hold (it could never be read
// back whole).
[[nodiscard]] SystemStatus StoreKeychainPassword(const char* mailServer, const char* userName, const char* password);

// Copies the account's password into `password`. Does nothing and returns
// kSysNoError when either text is empty. `password` is unchanged on any
// failure: kSysKeychainItemNotFound when there is no item,
// kSysKeychainTooLong when the stored password would have to be cut.
[[nodiscard]] SystemStatus FindKeychainPassword(const char* mailServer, const char* userName, CFixedString255& password);
