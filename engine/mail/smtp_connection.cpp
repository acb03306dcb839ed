#include "engine/mail/smtp_connection.h"

#include <algorithm>
#include <utility>

#include "engine/mail/mail_errors.h"
#include "engine/mail/message_id.h"
#include "engine/mail/smtp_data.h"
#include "foundation/text/base64.h"

namespace {

constexpr const char* kSecretCommand = "[credentials]";

// The EHLO/HELO argument: this end's address as an address literal.
std::string HelloArgument(const std::string& localAddress)
{
    if (localAddress.empty()) return LocalHostName();
    if (localAddress.find(':') != std::string::npos) return "[IPv6:" + localAddress + "]";
    return "[" + localAddress + "]";
}

}  // namespace

CSMTPConnection::CSMTPConnection(CMailAccount account) : mAccount(std::move(account)) {}

CSMTPConnection::~CSMTPConnection() { mConnection.Close(); }

CSmtpReply CSMTPConnection::ReadReply(std::string_view commandForErrors)
{
    CSmtpReply reply;
    for (;;) {
        std::string line;
        const net::NetStatus status = mConnection.ReadLine(line, mAccount.timeout);
        if (!status.ok())
            throw CSmtpCommandError(MailNetworkErrorCode(status.error), status.text, std::string(commandForErrors));
        int code = 0;
        bool more = false;
        std::string text;
        if (!ParseSmtpReplyLine(line, code, more, text) || (reply.code != 0 && code != reply.code) ||
            reply.lines.size() >= kMaxReplyLines)
            throw CSmtpCommandError(kMailBadReply, "The server's answer is not an SMTP reply.",
                                    std::string(commandForErrors));
        reply.code = code;
        reply.lines.push_back(std::move(text));
        if (!more) return reply;
    }
}

CSmtpReply CSMTPConnection::SendCmdAndGetResponse(std::string_view command, bool secret)
{
    const std::string shown = secret ? kSecretCommand : std::string(command);
    std::string line(command);
    line += "\r\n";
    const net::NetStatus status = mConnection.SendAll(line, mAccount.timeout);
    if (!status.ok()) throw CSmtpCommandError(MailNetworkErrorCode(status.error), status.text, shown);
    return ReadReply(shown);
}

void CSMTPConnection::Require(const CSmtpReply& reply, std::initializer_list<int> codes, bool authentication)
{
    if (std::find(codes.begin(), codes.end(), reply.code) == codes.end()) throw CSmtpReplyError(reply, authentication);
}

void CSMTPConnection::SendMessage(const std::string& from, const std::vector<std::string>& recipients,
                                  std::string_view messageText)
{
    const net::NetStatus connected = mConnection.Connect(mAccount.server, mAccount.port, mAccount.timeout);
    if (!connected.ok()) throw CFrameworkException(MailNetworkErrorCode(connected.error), connected.text);
    Require(ReadReply("(greeting)"), {220});
    SendHELO();
    StartTlsWhenOffered();
    Authenticate();
    Require(SendCmdAndGetResponse("RSET"), {250});
    Require(SendCmdAndGetResponse("MAIL FROM:<" + from + ">"), {250});
    for (const std::string& recipient : recipients) Require(SendCmdAndGetResponse("RCPT TO:<" + recipient + ">"), {250, 251});
    Require(SendCmdAndGetResponse("DATA"), {354});
    SendSMTPEncoded(messageText, true);
    Require(ReadReply("(end of data)"), {250});
    Quit();
}

void CSMTPConnection::SendHELO()
{
    const std::string argument = HelloArgument(mConnection.LocalAddress());
    CSmtpReply reply = SendCmdAndGetResponse("EHLO " + argument);
    if (reply.code == 250) {
        mExtensions = ParseEhloExtensions(reply);
        return;
    }
    // A server from before the extensions: it knows only HELO.
    mExtensions = {};
    Require(SendCmdAndGetResponse("HELO " + argument), {250});
}

void CSMTPConnection::StartTlsWhenOffered()
{
    if (!mExtensions.startTls || mConnection.IsEncrypted()) return;
    Require(SendCmdAndGetResponse("STARTTLS"), {220});
    const net::NetStatus status = mConnection.StartTls(mAccount.timeout, mAccount.caFile);
    if (!status.ok()) throw CSmtpCommandError(MailNetworkErrorCode(status.error), status.text, "STARTTLS");
    // What the server offered before TLS no longer counts.
    SendHELO();
}

void CSMTPConnection::Authenticate()
{
    if (mAccount.userName.empty() || mAccount.password.empty()) return;
    if (!mExtensions.authPlain && !mExtensions.authLogin) return;  // the mail goes unauthenticated
    if (!mConnection.IsEncrypted() && !mAccount.allowPasswordWithoutTls)
        throw CFrameworkException(kMailPasswordNeedsTls,
                                  "The mail server offers no encrypted connection, so the password was not sent.");
    if (mExtensions.authPlain && AuthenticatePlain()) return;
    // A server that turns down both ways gets the mail unauthenticated and
    // refuses it there, with its own reply.
    if (mExtensions.authLogin) (void)AuthenticateLogin();
}

bool CSMTPConnection::AuthenticatePlain()
{
    if (SendCmdAndGetResponse("AUTH PLAIN").code != 334) return false;
    std::string credentials;
    credentials += '\0';
    credentials += mAccount.userName;
    credentials += '\0';
    credentials += mAccount.password;
    Require(SendCmdAndGetResponse(EncodeBase64(credentials), true), {235}, true);
    return true;
}

bool CSMTPConnection::AuthenticateLogin()
{
    if (SendCmdAndGetResponse("AUTH LOGIN").code != 334) return false;
    const CSmtpReply afterUser = SendCmdAndGetResponse(EncodeBase64(mAccount.userName), true);
    Require(afterUser, {334, 235}, true);
    if (afterUser.code == 334) Require(SendCmdAndGetResponse(EncodeBase64(mAccount.password), true), {235}, true);
    return true;
}

void CSMTPConnection::SendSMTPEncoded(std::string_view messageText, bool endData)
{
    const net::NetStatus status = mConnection.SendAll(EncodeSmtpData(messageText, endData), mAccount.timeout);
    if (!status.ok()) throw CSmtpCommandError(MailNetworkErrorCode(status.error), status.text, "(message text)");
}

void CSMTPConnection::Quit()
{
    // The message is delivered; a server that hangs up without answering
    // QUIT changes nothing.
    try {
        SendCmdAndGetResponse("QUIT");
    } catch (const std::exception&) {
    }
    mConnection.Close();
}
