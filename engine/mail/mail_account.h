// The mail account a notification mail is sent through, copied from the
// settings object when a send starts, so the sending thread shares nothing
// with the rest of the program.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

class CAppSettings;

// Preference switch ("true"/"false", default false): whether the password
// may go to a mail server that offers no TLS, where anyone on the way could
// read it.
inline constexpr const char* kMailPasswordWithoutTlsKey = "Mail Password Without TLS";

struct CMailAccount {
    std::string server;
    std::uint16_t port = 25;
    std::string userName;
    std::string password;
    // The address mails go to when a request names none ("Mail Recipient").
    std::string recipient;
    // Every connect, send and reply wait ("Network Timeout").
    std::chrono::milliseconds timeout{60000};
    bool allowPasswordWithoutTls = false;
    // Trust only this CA file for STARTTLS (tests); empty: the system's.
    std::string caFile;
};

// The account as the settings hold it now; call LoadMailSettings first to
// pick up changes made in the preferences. A time-out of 0 or less counts
// as the default 60 seconds.
CMailAccount MailAccountFromSettings(const CAppSettings& settings);
