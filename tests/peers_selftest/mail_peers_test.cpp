// The SMTP peer in each of its modes, driven by libcurl's SMTP client.
#include "tests/support/smtp_peer.h"

#include "curl_client.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace testsupport;

namespace {

struct MailAttempt {
    std::string userPassword{};  // empty: no AUTH
    std::string loginOptions{};  // "AUTH=PLAIN", "AUTH=LOGIN"
    bool startTls = false;
};

size_t ReadFromString(char* out, size_t size, size_t count, void* data)
{
    auto* text = static_cast<std::string*>(data);
    size_t n = std::min(size * count, text->size());
    text->copy(out, n);
    text->erase(0, n);
    return n;
}

CURLcode SendMail(const SmtpPeer& peer, const MailAttempt& attempt, std::string message)
{
    curl_slist* recipients = curl_slist_append(nullptr, "<reader@example.test>");
    CurlResult result = Fetch(peer.Url(), [&](CURL* curl) {
        curl_easy_setopt(curl, CURLOPT_MAIL_FROM, "<grabber@example.test>");
        curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, recipients);
        curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
        curl_easy_setopt(curl, CURLOPT_READFUNCTION, ReadFromString);
        curl_easy_setopt(curl, CURLOPT_READDATA, &message);
        if (!attempt.userPassword.empty()) curl_easy_setopt(curl, CURLOPT_USERPWD, attempt.userPassword.c_str());
        if (!attempt.loginOptions.empty())
            curl_easy_setopt(curl, CURLOPT_LOGIN_OPTIONS, attempt.loginOptions.c_str());
        if (attempt.startTls) {
            curl_easy_setopt(curl, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
            curl_easy_setopt(curl, CURLOPT_CAINFO, peer.CertFile().c_str());
        }
    });
    curl_slist_free_all(recipients);
    return result.code;
}

TEST(SmtpPeer, ReceivesOrRefusesByMode)
{
    struct Case {
        const char* name;
        SmtpPeerOptions options;
        MailAttempt attempt;
        bool accepted;
        std::string authenticatedAs;
        bool tls;
        std::vector<std::string> transcriptLines;
    };
    const Case cases[] = {
        {"plain", {}, {}, true, "", false, {"S: 220 ", "C: MAIL FROM:<grabber@example.test>", "C: .", "S: 250 OK message saved"}},
        {"auth PLAIN", {.mode = SmtpMode::kAuth, .user = "ann", .password = "pw"}, {"ann:pw", "AUTH=PLAIN"},
         true, "ann", false, {"S: 250-AUTH LOGIN PLAIN", "C: AUTH PLAIN", "S: 235 "}},
        {"auth LOGIN", {.mode = SmtpMode::kAuth, .user = "ann", .password = "pw"}, {"ann:pw", "AUTH=LOGIN"},
         true, "ann", false, {"C: AUTH LOGIN", "S: 235 "}},
        {"auth refused", {.mode = SmtpMode::kAuth, .user = "ann", .password = "pw"}, {"ann:bad", "AUTH=PLAIN"},
         false, "", false, {"S: 535 "}},
        {"auth skipped", {.mode = SmtpMode::kAuth, .user = "ann", .password = "pw"}, {}, false, "", false,
         {"S: 530 "}},
        {"starttls", {.mode = SmtpMode::kStartTls}, {.startTls = true}, true, "", true,
         {"S: 250-STARTTLS", "S: 220 Ready to start TLS", "-- TLS started"}},
        {"starttls with auth", {.mode = SmtpMode::kStartTls, .user = "ann", .password = "pw"},
         {"ann:pw", "AUTH=LOGIN", true}, true, "ann", true, {"-- TLS started", "C: AUTH LOGIN"}},
        {"starttls skipped", {.mode = SmtpMode::kStartTls}, {}, false, "", false,
         {"S: 530 Must issue a STARTTLS command first"}},
    };
    const std::string message = "Subject: grab done\r\n\r\nAll saved.\r\n.leading dot\r\n";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SmtpPeer peer(c.options);
        CURLcode code = SendMail(peer, c.attempt, message);
        EXPECT_EQ(code == CURLE_OK, c.accepted) << curl_easy_strerror(code);
        auto messages = peer.Messages();
        ASSERT_EQ(messages.size(), c.accepted ? 1u : 0u);
        if (c.accepted) {
            EXPECT_EQ(messages[0].content, message);
            EXPECT_EQ(messages[0].mailFrom, "grabber@example.test");
            EXPECT_EQ(messages[0].rcptTo, std::vector<std::string>{"reader@example.test"});
            EXPECT_EQ(messages[0].authenticatedAs, c.authenticatedAs);
            EXPECT_EQ(messages[0].tls, c.tls);
        }
        std::string transcript = peer.Transcript();
        for (const auto& line : c.transcriptLines)
            EXPECT_NE(transcript.find(line), std::string::npos) << line << "\n" << transcript;
    }
}

}  // namespace
