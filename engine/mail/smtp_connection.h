// The SMTP client of the notification mails: one connection, one message.
//
//   greeting 220; EHLO (HELO when refused) 250; STARTTLS when offered, then
//   EHLO again; AUTH PLAIN or LOGIN, as offered, when a user and password
//   are set; RSET; MAIL FROM; RCPT TO for each recipient (250 or 251);
//   DATA 354; the text; 250; QUIT.
//
// The password goes only over TLS, unless the account allows otherwise.
// Every wait is bounded by the account's time-out; the calls block, so they
// run on a worker OS thread, never on a fiber. Failures are thrown as
// CSmtpReplyError, CSmtpCommandError or CFrameworkException.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "engine/mail/mail_account.h"
#include "engine/mail/smtp_reply.h"
#include "platform/net/tcp_connection.h"

class CSMTPConnection {
public:
    // The reply lines a server may send for one command.
    static constexpr std::size_t kMaxReplyLines = 100;

    explicit CSMTPConnection(CMailAccount account);
    ~CSMTPConnection();
    CSMTPConnection(const CSMTPConnection&) = delete;
    CSMTPConnection& operator=(const CSMTPConnection&) = delete;

    // Connects, sends the one message with `from` as the envelope sender and
    // each of `recipients` as a recipient, and says goodbye.
    void SendMessage(const std::string& from, const std::vector<std::string>& recipients, std::string_view messageText);

private:
    // Sends the line (CR LF added) and reads the reply. A `secret` line is
    // named "[credentials]" in any error.
    CSmtpReply SendCmdAndGetResponse(std::string_view command, bool secret = false);
    CSmtpReply ReadReply(std::string_view commandForErrors);
    // Throws CSmtpReplyError unless the reply has one of the codes.
    static void Require(const CSmtpReply& reply, std::initializer_list<int> codes, bool authentication = false);

    void SendHELO();
    void StartTlsWhenOffered();
    void Authenticate();
    [[nodiscard]] bool AuthenticatePlain();
    [[nodiscard]] bool AuthenticateLogin();
    void SendSMTPEncoded(std::string_view messageText, bool endData);
    void Quit();

    CMailAccount mAccount;
    net::TcpConnection mConnection;
    CSmtpExtensions mExtensions;
};
