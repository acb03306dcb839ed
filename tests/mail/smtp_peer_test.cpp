// Sending to a real SMTP server on loopback: plain, with a login, with
// STARTTLS, in the background, and through the settings' account into the
// application log.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "engine/mail/mail_errors.h"
#include "foundation/settings/app_settings.h"
#include "foundation/settings/preference_store.h"
#include "foundation/text/base64.h"
#include "tests/mail/parsed_mail.h"
#include "tests/mail/smtp_test_support.h"
#include "tests/support/file_bytes.h"
#include "tests/support/smtp_peer.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace std::chrono_literals;
using testsupport::SmtpMode;
using testsupport::SmtpPeer;

constexpr const char* kUser = "ann";
constexpr const char* kPassword = "s3cret pass";

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(SmtpPeerSend, DeliversTheMessageWithItsPictureAndEveryLineIntact)
{
    SmtpPeer peer;
    CMailInfo info = SimpleMail("Bob <bob@example.org>", "Ann <ann@example.org>");
    std::string picture = "\xff\xd8\xff";
    for (int i = 0; i < 5000; ++i) picture += static_cast<char>(i * 37);
    info.mBody.AddImagePart(picture);
    // Raw 7bit data that a server would refuse if sent as it is: a dotted
    // line longer than the limit.
    CMailPart raw;
    raw.mName.Assign("notes.txt");
    raw.mData.Assign("." + std::string(1500, 'n') + "\r\n.\r\nend\r\n");
    raw.BuildHeaderText();
    info.mBody.mParts.Append(raw);

    const CMailOutcome outcome = SendNow(info, LoopbackAccount(peer.Port()));
    ASSERT_TRUE(outcome.sent) << outcome.report << peer.Transcript();
    EXPECT_EQ(outcome.report, "Notification mail sent to \"Bob <bob@example.org>\".\r");

    const auto messages = peer.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].mailFrom, "ann@example.org");
    EXPECT_EQ(messages[0].rcptTo, std::vector<std::string>{"bob@example.org"});
    EXPECT_FALSE(messages[0].tls);
    const ParsedMail mail = ParseMail(messages[0].content);
    EXPECT_TRUE(mail.defects.empty());
    ASSERT_EQ(mail.entities.size(), 4u);
    EXPECT_EQ(mail.entities[0].contentType, "multipart/mixed");
    EXPECT_EQ(mail.entities[1].contentType, "text/plain");
    EXPECT_EQ(mail.entities[2].body, picture);
    // The long line arrives cut, its dots as written.
    const std::string& notes = mail.entities[3].body;
    // (cut one short, so that with its stuffed dot it fits the limit).
    EXPECT_EQ(notes.substr(0, notes.find("\r\n")), "." + std::string(996, 'n'));
    EXPECT_TRUE(Contains(notes, "\r\n.\r\nend")) << notes.substr(notes.size() - 20);
    EXPECT_EQ(std::count(notes.begin(), notes.end(), 'n'), 1500 + 1);
}

TEST(SmtpPeerSend, FillsInASenderWhenTheRequestHasNone)
{
    SmtpPeer peer;
    const struct {
        const char* user;
        const char* from;
    } cases[] = {{"carol@example.org", "carol@example.org"}, {"carol", "bob@example.org"}, {"", "bob@example.org"}};
    for (const auto& c : cases) {
        CMailAccount account = LoopbackAccount(peer.Port());
        account.userName = c.user;  // no password: no login
        ASSERT_TRUE(SendNow(SimpleMail("bob@example.org", ""), account).sent);
        const testsupport::SmtpMessage message = peer.Messages().back();
        EXPECT_EQ(message.mailFrom, c.from) << c.user;
        EXPECT_EQ(ParseMail(message.content).headers.at("from"), c.from);
    }
}

struct AuthCase {
    const char* name;
    const char* password;
    bool allowWithoutTls;
    bool sent;
    std::int32_t code;
    bool authSent;
};

TEST(SmtpPeerSend, LogsInOnlyWhereThePasswordIsSafeAndAllowed)
{
    SmtpPeer peer({.mode = SmtpMode::kAuth, .user = kUser, .password = kPassword});
    const AuthCase cases[] = {
        {"allowed in clear", kPassword, true, true, 0, true},
        {"wrong password", "wrong", true, false, 535, true},
        {"clear text not allowed", kPassword, false, false, kMailPasswordNeedsTls, false},
        {"no password: no login", "", true, false, 530, false},
    };
    std::size_t delivered = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CMailAccount account = LoopbackAccount(peer.Port());
        account.userName = kUser;
        account.password = c.password;
        account.allowPasswordWithoutTls = c.allowWithoutTls;
        const std::string earlier = peer.Transcript();
        const std::size_t before = std::count(earlier.begin(), earlier.end(), '\n');
        const CMailOutcome outcome = SendNow(SimpleMail(), account);
        EXPECT_EQ(outcome.sent, c.sent) << outcome.report;
        EXPECT_EQ(outcome.resultCode, c.code) << outcome.report;
        const std::string transcript = peer.Transcript();
        std::string conversation;
        for (std::size_t i = 0, lines = 0; i < transcript.size(); ++i) {
            if (lines >= before) conversation += transcript[i];
            if (transcript[i] == '\n') ++lines;
        }
        EXPECT_EQ(Contains(conversation, "C: AUTH"), c.authSent) << conversation;
        if (c.sent) {
            ++delivered;
            ASSERT_EQ(peer.Messages().size(), delivered);
            EXPECT_EQ(peer.Messages().back().authenticatedAs, kUser);
        }
        if (c.code == 535) {
            EXPECT_TRUE(Contains(outcome.report, "Mail server response code: 535\r"));
            EXPECT_TRUE(Contains(outcome.report, "An error occurred when authenticating."));
        }
        if (c.code == kMailPasswordNeedsTls) {
            EXPECT_TRUE(Contains(outcome.report, "Error code: " + std::to_string(kMailPasswordNeedsTls) + "\r"));
        }
        for (const std::string& secret : {std::string(c.password), EncodeBase64(c.password),
                                          EncodeBase64(std::string("\0ann\0", 5) + c.password)}) {
            if (secret.empty()) continue;
            EXPECT_FALSE(Contains(outcome.report, secret));
            EXPECT_FALSE(Contains(outcome.resultText, secret));
        }
    }
    EXPECT_EQ(peer.Messages().size(), delivered);
}

TEST(SmtpPeerSend, UpgradesToTlsBeforeTheLoginAndRefusesAnUntrustedServer)
{
    const struct {
        const char* name;
        const char* user;
        bool trustPeer;
        bool sent;
    } cases[] = {
        {"no login", "", true, true},
        {"login after STARTTLS", kUser, true, true},
        {"untrusted certificate", kUser, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SmtpPeer peer({.mode = SmtpMode::kStartTls, .user = c.user, .password = kPassword});
        CMailAccount account = LoopbackAccount(peer.Port());
        account.userName = c.user;
        account.password = kPassword;
        account.caFile = c.trustPeer ? peer.CertFile() : std::string();
        const CMailOutcome outcome = SendNow(SimpleMail(), account);
        EXPECT_EQ(outcome.sent, c.sent) << outcome.report << peer.Transcript();
        if (c.sent) {
            ASSERT_EQ(peer.Messages().size(), 1u);
            EXPECT_TRUE(peer.Messages()[0].tls);
            EXPECT_EQ(peer.Messages()[0].authenticatedAs, c.user);
        } else {
            EXPECT_EQ(outcome.resultCode, MailNetworkErrorCode(net::NetError::kTls)) << outcome.report;
            EXPECT_TRUE(Contains(outcome.report, "the command : \"STARTTLS\"")) << outcome.report;
            EXPECT_FALSE(Contains(peer.Transcript(), "C: AUTH"));
            EXPECT_TRUE(peer.Messages().empty());
        }
    }
}

TEST(SmtpPeerSend, SendsInTheBackgroundAndQuittingWaitsForThem)
{
    SmtpPeer peer;
    OutcomeCollector collector;
    const CMailAccount account = LoopbackAccount(peer.Port());
    for (int i = 0; i < 3; ++i) {
        CMailInfo info = SimpleMail();
        info.mBody.mSubject.Assign("mail " + std::to_string(i));
        StartSendMailThread(info, account, collector.Hook());
        // The request may go at once: the thread keeps its own copy.
    }
    ASSERT_TRUE(WaitForMailSending(30s));
    EXPECT_EQ(MailsBeingSent(), 0u);
    const auto outcomes = collector.Outcomes();
    ASSERT_EQ(outcomes.size(), 3u);
    for (const CMailOutcome& outcome : outcomes) EXPECT_TRUE(outcome.sent) << outcome.report;
    std::vector<std::string> subjects;
    for (const auto& message : peer.Messages()) subjects.push_back(ParseMail(message.content).headers.at("subject"));
    std::sort(subjects.begin(), subjects.end());
    EXPECT_EQ(subjects, (std::vector<std::string>{"mail 0", "mail 1", "mail 2"}));
    EXPECT_TRUE(WaitForMailSending(0ms));
}

// The settings object of a test, in folders of its own.
class SettingsAccount : public testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR",
                                 "TIDEWELL_SYSTEM_CONFIG"}) {
            const char* old = std::getenv(name);
            mSaved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
            ::setenv(name, mDir.MakeFolder(name).c_str(), 1);
        }
    }
    void TearDown() override
    {
        gAppSettings = nullptr;
        mSettings.reset();
        for (const auto& [name, value] : mSaved) {
            if (value) ::setenv(name.c_str(), value->c_str(), 1);
            else ::unsetenv(name.c_str());
        }
    }
    void MakeSettings()
    {
        mSettings = std::make_unique<CAppSettings>();
        gAppSettings = mSettings.get();
    }
    std::string Log() const { return testsupport::ReadFileBytes(mSettings->mLog->Path()); }

    testsupport::TempDir mDir;
    std::vector<std::pair<std::string, std::optional<std::string>>> mSaved;
    std::unique_ptr<CAppSettings> mSettings;
};

TEST_F(SettingsAccount, SendsThroughThePreferencesAccountAndLogsEveryOutcome)
{
    SmtpPeer peer;
    MakeSettings();
    ASSERT_TRUE(mSettings->mLog && mSettings->mLog->IsOpen());

    // No server yet: nothing is sent, and the log says why.
    StartSendMailThread(SimpleMail(), MailOutcomeHook());
    ASSERT_TRUE(WaitForMailSending(30s));
    EXPECT_TRUE(Contains(Log(), "An error occurred while trying to send email to \"bob@example.org\"\nError code: " +
                                    std::to_string(kMailNoServer) + "\n"))
        << Log();

    // Set up in the preferences after start-up: the send reads them again.
    ASSERT_TRUE(SetPreferenceString("127.0.0.1", "Mail Server"));
    ASSERT_TRUE(SetPreferenceString(std::to_string(peer.Port()).c_str(), "Mail Server Port"));
    ASSERT_TRUE(SetPreferenceString("carol@example.org", "Mail Recipient"));
    StartSendMailThread(SimpleMail("", ""), MailOutcomeHook());
    ASSERT_TRUE(WaitForMailSending(30s));
    EXPECT_TRUE(Contains(Log(), "Notification mail sent to \"carol@example.org\".\n")) << Log();
    ASSERT_EQ(peer.Messages().size(), 1u);
    EXPECT_EQ(peer.Messages()[0].rcptTo, std::vector<std::string>{"carol@example.org"});
    EXPECT_EQ(peer.Messages()[0].mailFrom, "carol@example.org");
}

}  // namespace
