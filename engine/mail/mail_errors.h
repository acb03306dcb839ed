// How a send fails: a server reply that ends it, a failed command, or an
// error of our own (codes in foundation/errors/status_codes.h) or of the
// connection.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <utility>

#include "engine/mail/smtp_reply.h"
#include "foundation/errors/framework_exception.h"
#include "foundation/errors/status_codes.h"
#include "platform/net/net_status.h"

// The code of a connection failure.
[[nodiscard]] std::int32_t MailNetworkErrorCode(net::NetError error);

// A reply that ends the send: a wrong code at a step that tests it.
class CSmtpReplyError : public std::exception {
public:
    CSmtpReplyError(CSmtpReply reply, bool duringAuthentication)
        : mReply(std::move(reply)), mDuringAuthentication(duringAuthentication), mText(mReply.Text())
    {
    }
    const CSmtpReply& Reply() const noexcept { return mReply; }
    [[nodiscard]] bool DuringAuthentication() const noexcept { return mDuringAuthentication; }
    const char* what() const noexcept override { return mText.c_str(); }

private:
    CSmtpReply mReply;
    bool mDuringAuthentication;
    std::string mText;
};

// A command that could not be sent or whose reply did not come. `command`
// is the line without its CR LF, with credentials already left out.
class CSmtpCommandError : public CFrameworkException {
public:
    CSmtpCommandError(std::int32_t code, std::string message, std::string command)
        : CFrameworkException(code, std::move(message)), mCommand(std::move(command))
    {
    }
    const std::string& Command() const noexcept { return mCommand; }

private:
    std::string mCommand;
};
