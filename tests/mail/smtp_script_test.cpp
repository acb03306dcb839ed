// The SMTP dialogue against servers that answer exactly as scripted:
// fallbacks, refusals, logins offered one way or another, silence and
// hang-ups. The client's lines are checked as the server received them.
#include <chrono>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/mail/mail_errors.h"
#include "foundation/text/base64.h"
#include "tests/mail/smtp_test_support.h"
#include "tests/support/scripted_tcp_peer.h"

namespace {

using namespace std::chrono_literals;
using testsupport::ScriptedTcpPeer;
using testsupport::TcpStep;

constexpr const char* kUser = "ann";
constexpr const char* kPassword = "pa55word";

std::vector<TcpStep> Greeting(const char* ehloReply = "250 hello\r\n")
{
    return {TcpStep::Send("220 test ESMTP\r\n"), TcpStep::Expect("EHLO [127.0.0.1]"), TcpStep::Send(ehloReply)};
}

std::vector<TcpStep> Delivery(const char* rcptReply = "250 ok\r\n")
{
    return {TcpStep::Expect("RSET"),
            TcpStep::Send("250 ok\r\n"),
            TcpStep::Expect("MAIL FROM:<ann@example.org>"),
            TcpStep::Send("250 ok\r\n"),
            TcpStep::Expect("RCPT TO:<bob@example.org>"),
            TcpStep::Send(rcptReply),
            TcpStep::Expect("DATA"),
            TcpStep::Send("354 go on\r\n"),
            TcpStep::ReadUntil("."),
            TcpStep::Send("250 queued\r\n"),
            TcpStep::Expect("QUIT"),
            TcpStep::Send("221 bye\r\n")};
}

std::vector<TcpStep> Join(std::initializer_list<std::vector<TcpStep>> pieces)
{
    std::vector<TcpStep> steps;
    for (const auto& piece : pieces) steps.insert(steps.end(), piece.begin(), piece.end());
    return steps;
}

std::vector<TcpStep> LoginSteps(const char* passwordReply)
{
    return {TcpStep::Expect("AUTH LOGIN"), TcpStep::Send("334 VXNlcm5hbWU6\r\n"), TcpStep::Expect(EncodeBase64(kUser)),
            TcpStep::Send("334 UGFzc3dvcmQ6\r\n"), TcpStep::Expect(EncodeBase64(kPassword)),
            TcpStep::Send(passwordReply)};
}

struct ScriptCase {
    const char* name;
    std::vector<TcpStep> steps;
    bool login;                      // the account has a user and password (allowed in clear)
    bool sent;
    std::int32_t code;
    std::vector<std::string> inReport;
    std::vector<std::string> neverSent;  // line prefixes the server must not see
};

std::string LinesOf(const testsupport::TcpPeerConnection& connection)
{
    std::string all;
    for (const std::string& line : connection.lines) all += line;
    return all;
}

TEST(SmtpScript, FollowsTheDialogueAndEndsOnEveryWrongAnswer)
{
    const ScriptCase cases[] = {
        {"EHLO refused, HELO accepted, RCPT 251",
         Join({{TcpStep::Send("220 old server\r\n"), TcpStep::Expect("EHLO"), TcpStep::Send("502 what\r\n"),
                TcpStep::Expect("HELO [127.0.0.1]"), TcpStep::Send("250 hi\r\n")},
               Delivery("251 will forward\r\n")}),
         false, true, 0, {"Notification mail sent to \"bob@example.org\"."}, {}},
        {"RCPT refused with 550",
         Join({Greeting(),
               {TcpStep::Expect("RSET"), TcpStep::Send("250 ok\r\n"), TcpStep::Expect("MAIL FROM"),
                TcpStep::Send("250 ok\r\n"), TcpStep::Expect("RCPT TO"), TcpStep::Send("550 5.1.1 no such user\r\n"),
                TcpStep::NeverAnswer()}}),
         false, false, 550,
         {"An error occurred while trying to send email to \"bob@example.org\"\r",
          "Mail server response code: 550\rMail server response: 5.1.1 no such user\r"},
         {"DATA"}},
        {"greeting refused",
         {TcpStep::Send("554 not now\r\n"), TcpStep::NeverAnswer()}, false, false, 554,
         {"Mail server response code: 554\r"}, {"EHLO"}},
        {"an answer that is not SMTP",
         {TcpStep::Send("HTTP/1.1 400 Bad Request\r\n"), TcpStep::NeverAnswer()}, false, false, kMailBadReply,
         {"the command : \"(greeting)\""}, {"EHLO"}},
        {"server hangs up in the middle",
         Join({Greeting(), {TcpStep::Expect("RSET"), TcpStep::Send("250 ok\r\n"), TcpStep::Expect("MAIL FROM"),
                            TcpStep::CloseNow()}}),
         false, false, MailNetworkErrorCode(net::NetError::kClosed),
         {"the command : \"MAIL FROM:<ann@example.org>\" (code: " +
          std::to_string(MailNetworkErrorCode(net::NetError::kClosed)) + ")."},
         {"DATA"}},
        {"only LOGIN offered, accepted",
         Join({Greeting("250-hello\r\n250 AUTH LOGIN\r\n"), LoginSteps("235 welcome\r\n"), Delivery()}), true, true, 0,
         {}, {"AUTH PLAIN"}},
        {"LOGIN password refused",
         Join({Greeting("250-hello\r\n250 AUTH=LOGIN\r\n"), LoginSteps("535 bad credentials\r\n"),
               {TcpStep::NeverAnswer()}}),
         true, false, 535, {"Mail server response code: 535\r", "An error occurred when authenticating."},
         {"RSET", "MAIL"}},
        {"LOGIN password step not answered 235",
         Join({Greeting("250-hello\r\n250 AUTH LOGIN\r\n"), LoginSteps("334 more?\r\n"), {TcpStep::NeverAnswer()}}),
         true, false, 334, {"An error occurred when authenticating."}, {"RSET", "MAIL"}},
        {"PLAIN refused before its challenge, LOGIN used",
         Join({Greeting("250-hello\r\n250 AUTH PLAIN LOGIN\r\n"),
               {TcpStep::Expect("AUTH PLAIN"), TcpStep::Send("504 not here\r\n")}, LoginSteps("235 ok\r\n"),
               Delivery()}),
         true, true, 0, {}, {}},
        {"PLAIN and LOGIN both refused: sent without a login",
         Join({Greeting("250-hello\r\n250 AUTH PLAIN LOGIN\r\n"),
               {TcpStep::Expect("AUTH PLAIN"), TcpStep::Send("504 no\r\n"), TcpStep::Expect("AUTH LOGIN"),
                TcpStep::Send("504 no\r\n")},
               Delivery()}),
         true, true, 0, {}, {EncodeBase64(kUser)}},
        {"PLAIN accepted",
         Join({Greeting("250-hello\r\n250 AUTH PLAIN\r\n"),
               {TcpStep::Expect("AUTH PLAIN"), TcpStep::Send("334 \r\n"),
                TcpStep::Expect(EncodeBase64(std::string("\0ann\0", 5) + kPassword)), TcpStep::Send("235 ok\r\n")},
               Delivery()}),
         true, true, 0, {}, {"AUTH LOGIN"}},
        {"no mechanism offered: sent without a login", Join({Greeting("250-hello\r\n250 AUTH CRAM-MD5\r\n"), Delivery()}),
         true, true, 0, {}, {"AUTH"}},
        {"STARTTLS offered, TLS fails: no password",
         Join({Greeting("250-hello\r\n250-STARTTLS\r\n250 AUTH PLAIN\r\n"),
               {TcpStep::Expect("STARTTLS"), TcpStep::Send("220 go ahead\r\n"), TcpStep::CloseNow()}}),
         true, false, MailNetworkErrorCode(net::NetError::kTls), {"the command : \"STARTTLS\""}, {"AUTH"}},
        {"STARTTLS refused", Join({Greeting("250-hello\r\n250 STARTTLS\r\n"),
                                   {TcpStep::Expect("STARTTLS"), TcpStep::Send("454 TLS not available\r\n"),
                                    TcpStep::NeverAnswer()}}),
         true, false, 454, {"Mail server response code: 454\r"}, {"AUTH", "MAIL"}},
    };
    for (const ScriptCase& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedTcpPeer peer(c.steps);
        CMailAccount account = LoopbackAccount(peer.Port(), 5s);
        if (c.login) {
            account.userName = kUser;
            account.password = kPassword;
            account.allowPasswordWithoutTls = true;
        }
        const CMailOutcome outcome = SendNow(SimpleMail(), account);
        EXPECT_EQ(outcome.sent, c.sent) << outcome.report;
        EXPECT_EQ(outcome.resultCode, c.code) << outcome.report;
        for (const std::string& text : c.inReport)
            EXPECT_NE(outcome.report.find(text), std::string::npos) << outcome.report;
        ASSERT_TRUE(peer.WaitForEnded(1));
        const auto connections = peer.Connections();
        ASSERT_EQ(connections.size(), 1u);
        EXPECT_EQ(connections[0].mismatchStep, -1) << LinesOf(connections[0]);
        for (const std::string& line : connections[0].lines)
            for (const std::string& prefix : c.neverSent) EXPECT_NE(line.rfind(prefix, 0), 0u) << line;
        for (const std::string& secret : {std::string(kPassword), EncodeBase64(kPassword)}) {
            EXPECT_EQ(outcome.report.find(secret), std::string::npos);
            EXPECT_EQ(outcome.resultText.find(secret), std::string::npos);
        }
    }
}

TEST(SmtpScript, ASilentServerTimesOutWithinTheNetworkTimeOut)
{
    ScriptedTcpPeer peer({TcpStep::NeverAnswer()});
    const auto started = std::chrono::steady_clock::now();
    const CMailOutcome outcome = SendNow(SimpleMail(), LoopbackAccount(peer.Port(), 500ms));
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_FALSE(outcome.sent);
    EXPECT_EQ(outcome.resultCode, MailNetworkErrorCode(net::NetError::kTimedOut)) << outcome.report;
    EXPECT_NE(outcome.report.find("the command : \"(greeting)\""), std::string::npos) << outcome.report;
    EXPECT_GE(took, 400ms);  // the peer never answers: only the time-out ends the wait
}

TEST(SmtpScript, RequestsThatCannotBeSentNeverConnect)
{
    ScriptedTcpPeer peer({TcpStep::Send("220 hi\r\n"), TcpStep::NeverAnswer()});
    const struct {
        const char* name;
        const char* server;
        const char* recipient;
        const char* sender;
        std::int32_t code;
    } cases[] = {
        {"no server", "", "bob@example.org", "ann@example.org", kMailNoServer},
        {"no recipient anywhere", "127.0.0.1", "", "ann@example.org", kMailNoRecipient},
        {"recipient with a line break", "127.0.0.1", "bob@example.org>\r\nRCPT TO:<eve@example.org", "ann@example.org",
         kMailBadAddress},
        {"one bad address in the list", "127.0.0.1", "bob@example.org, not an address", "ann@example.org",
         kMailBadAddress},
        {"sender unusable", "127.0.0.1", "bob@example.org", "Ann <ann@example.org", kMailBadAddress},
    };
    for (const auto& c : cases) {
        CMailAccount account = LoopbackAccount(peer.Port(), 2s);
        account.server = c.server;
        const CMailOutcome outcome = SendNow(SimpleMail(c.recipient, c.sender), account);
        EXPECT_FALSE(outcome.sent) << c.name;
        EXPECT_EQ(outcome.resultCode, c.code) << c.name << ": " << outcome.report;
        EXPECT_NE(outcome.report.find("Error code: " + std::to_string(c.code) + "\r"), std::string::npos);
    }
    EXPECT_TRUE(peer.Connections().empty());
}

}  // namespace
