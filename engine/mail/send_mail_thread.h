// Sending a notification mail in the background.
//
// StartSendMailThread copies everything the send needs (the message text,
// the envelope, the account) on the caller's thread and runs the SMTP
// dialogue on a worker OS thread, so no fiber ever waits on the network.
// The caller may drop its CMailInfo at once. Each send ends by reporting
// its outcome to the function its caller hands in, or, without one, to the
// application log. Quitting calls WaitForMailSending so that a mail in
// flight is not cut off (each send is bounded by the network time-out).
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/mail/mail_account.h"

class CMailInfo;

// How one send ended. Plain data: it crosses OS threads.
struct CMailOutcome {
    bool sent = false;
    std::int32_t resultCode = 0;  // the server's reply code, or a kMail... / connection code
    std::string resultText;
    std::string recipient;
    std::string report;  // the log text, lines ended by CR
};

// Called on the sending OS thread; must be thread-safe. An empty one
// appends the report to the application log.
using MailOutcomeHook = std::function<void(const CMailOutcome&)>;

// One send: built on the caller's thread, Run on any OS thread that may
// block (never a fiber).
class CSMTPSendMsgThread {
public:
    // The recipient defaults to the account's, the sender to
    // DefaultSender; the MIME message is built here. The outcome goes to
    // `onOutcome`.
    CSMTPSendMsgThread(const CMailInfo& info, CMailAccount account, MailOutcomeHook onOutcome);

    // The dialogue; fills the outcome and hands it on.
    void Run();

    const CMailOutcome& Outcome() const { return mOutcome; }
    const std::string& MessageText() const { return mMessage; }
    const std::vector<std::string>& EnvelopeRecipients() const { return mRecipients; }

private:
    void Fail(std::int32_t code, const std::string& text, const std::string& report);

    CMailAccount mAccount;
    std::string mFrom;
    std::vector<std::string> mRecipients;
    std::string mMessage;
    // A fault found while building (no server, no recipient, a bad
    // address): Run reports it without connecting.
    std::int32_t mSetupError = 0;
    std::string mSetupErrorText;
    CMailOutcome mOutcome;
    MailOutcomeHook mOnOutcome;
};

// Re-reads the mail settings of gAppSettings and sends through that
// account. Returns at once.
void StartSendMailThread(const CMailInfo& info, MailOutcomeHook onOutcome);
// The same through the given account.
void StartSendMailThread(const CMailInfo& info, const CMailAccount& account, MailOutcomeHook onOutcome);

// Waits, blocking the calling OS thread, until no send is under way or the
// time-out has passed; true when none is left. For the quit path, outside
// any fiber.
[[nodiscard]] bool WaitForMailSending(std::chrono::milliseconds timeout);
[[nodiscard]] std::size_t MailsBeingSent();
