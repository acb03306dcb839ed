// The encodings a mail goes through: base64, quoted-printable, header
// fields, the SMTP data text, reply lines and envelope addresses.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/mail/mail_addresses.h"
#include "engine/mail/mail_headers.h"
#include "engine/mail/mime_message.h"
#include "engine/mail/quoted_printable.h"
#include "engine/mail/smtp_data.h"
#include "engine/mail/smtp_reply.h"
#include "foundation/text/base64.h"
#include "tests/support/base64.h"

namespace {

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    if (start < text.size()) lines.push_back(text.substr(start) + "<unended>");
    return lines;
}

TEST(Base64, EncodesTheStandardVectorsAndWrapsLines)
{
    const struct {
        std::string in, out;
    } cases[] = {{"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"foob", "Zm9vYg=="},
                 {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"}, {std::string("\0ann\0pw", 7), "AGFubgBwdw=="},
                 {"\xff\xfe\xfd", "//79"}};
    for (const auto& c : cases) EXPECT_EQ(EncodeBase64(c.in), c.out) << c.in;

    std::string bytes;
    for (int i = 0; i < 1000; ++i) bytes += static_cast<char>(i * 7);
    const std::string wrapped = EncodeBase64Lines(bytes, 76);
    std::string joined;
    for (const std::string& line : Lines(wrapped)) {
        EXPECT_LE(line.size(), 76u);
        joined += line;
    }
    EXPECT_EQ(testsupport::Base64Decode(joined), bytes);
    EXPECT_EQ(wrapped.substr(wrapped.size() - 2), "\r\n");
    EXPECT_EQ(EncodeBase64Lines("", 76), "");
}

TEST(QuotedPrintable, KeepsLinesShortAndEncodesWhatIsNotPlain)
{
    const struct {
        std::string in, out;
    } cases[] = {
        {"plain text", "plain text"},
        {"a=b", "a=3Db"},
        {"caf\xc3\xa9", "caf=C3=A9"},
        {"trailing blank \nnext\r\nlast\rend", "trailing blank=20\r\nnext\r\nlast\r\nend"},
        {"tab\t", "tab=09"},
        {"ends with break\n", "ends with break\r\n"},
        {"\n\n", "\r\n\r\n"},
        {".leading dot", ".leading dot"},
    };
    for (const auto& c : cases) EXPECT_EQ(EncodeQuotedPrintable(c.in), c.out) << c.in;

    // A long line of characters that each need three places: no line passes
    // 76, and no =XX is split by a soft break.
    const std::string longLine(300, '\xe9');
    for (const std::string& line : Lines(EncodeQuotedPrintable(longLine + "x" + std::string(200, 'y')))) {
        EXPECT_LE(line.size(), 76u);
        const std::size_t body = line.back() == '=' ? line.size() - 1 : line.size();
        for (std::size_t i = 0; i < body; ++i)
            if (line[i] == '=') {
                EXPECT_LE(i + 3, body) << line;
            }
    }
}

TEST(SmtpData, CutsStuffsAndEndsLinesForTheWire)
{
    const std::string longLine(2500, 'x');
    const std::string dotted = "." + std::string(1500, 'd');
    const std::string cutBeforeDot = std::string(998, 'a') + "." + std::string(5, 'b');
    const struct {
        std::string in;
        std::vector<std::string> lines;
    } cases[] = {
        {longLine, {std::string(998, 'x'), std::string(998, 'x'), std::string(504, 'x'), "", "."}},
        // A line that starts with a dot is cut one shorter, so the stuffed
        // line still fits.
        {dotted, {".." + std::string(996, 'd'), std::string(504, 'd'), "", "."}},
        // The piece after a cut starts with a dot and gets its second dot too.
        {cutBeforeDot, {std::string(998, 'a'), "..bbbbb", "", "."}},
        {"one\ntwo\rthree\r\nfour", {"one", "two", "three", "four", "", "."}},
        {".\n..x\n", {"..", "...x", "", "."}},
        {"a\n\nb\n", {"a", "", "b", "", "."}},
        {"", {"", "", "."}},
    };
    for (const auto& c : cases) {
        const std::vector<std::string> lines = Lines(EncodeSmtpData(c.in, true));
        EXPECT_EQ(lines, c.lines) << c.in.substr(0, 20);
        for (const std::string& line : lines) EXPECT_LE(line.size(), kMaxSmtpLineLength);
    }
    EXPECT_EQ(EncodeSmtpData("a", false), "a\r\n");
}

TEST(MailHeaders, FoldEncodeAndNeverLetAValueAddAHeader)
{
    EXPECT_EQ(UnstructuredHeader("Subject", "Tidewell: Level 2, 50% complete"),
              "Subject: Tidewell: Level 2, 50% complete\r\n");
    // CR and LF in a value cannot start a header of their own.
    EXPECT_EQ(UnstructuredHeader("Subject", "hi\r\nBcc: victim@example.org"),
              "Subject: hi  Bcc: victim@example.org\r\n");

    std::string words;
    for (int i = 0; i < 40; ++i) words += "word" + std::to_string(i) + " ";
    for (const std::string& line : Lines(UnstructuredHeader("Subject", words))) {
        EXPECT_LE(line.size(), kHeaderLineTarget) << line;
        EXPECT_TRUE(line.rfind("Subject:", 0) == 0 || line[0] == ' ') << line;
    }
    // A run too long to fold becomes encoded words.
    for (const std::string& line : Lines(UnstructuredHeader("Subject", std::string(1200, 'z'))))
        EXPECT_LE(line.size(), kHeaderLineTarget);

    // Encoded words never split a UTF-8 character: each decodes on its own.
    const std::string accented = "Zo\xc3\xab \xe2\x82\xac " + std::string(60, 'a') + " \xf0\x9f\x8c\x8a end";
    std::string decoded;
    for (std::string line : Lines(EncodeHeaderWords(accented) + "\r\n")) {
        if (line[0] == ' ') line.erase(0, 1);
        ASSERT_EQ(line.rfind("=?UTF-8?B?", 0), 0u) << line;
        ASSERT_LE(line.size(), 75u);
        const std::string piece = testsupport::Base64Decode(line.substr(10, line.size() - 12));
        const auto lead = static_cast<unsigned char>(piece.front());
        EXPECT_FALSE(lead >= 0x80 && lead < 0xC0) << "starts inside a character";
        decoded += piece;
    }
    EXPECT_EQ(decoded, accented);

    EXPECT_EQ(AddressHeader("From", "Ann <ann@example.org>"), "From: Ann <ann@example.org>\r\n");
    EXPECT_EQ(AddressHeader("From", "\"Zo\xc3\xab\" <zoe@example.org>"),
              "From: =?UTF-8?B?Wm/Dqw==?=\r\n <zoe@example.org>\r\n");

    const std::string date = FormatMailDate(1796634303);  // a Monday in December 2026
    EXPECT_TRUE(date.find("Dec 2026") != std::string::npos) << date;
    EXPECT_TRUE(date.size() > 6 && (date[date.size() - 5] == '+' || date[date.size() - 5] == '-')) << date;
}

TEST(MimeContentType, DeclaresUtf8UnlessACharsetIsNamed)
{
    const struct {
        const char *in, *out;
    } cases[] = {
        {"text/html", "text/html; charset=utf-8"},
        {"text/plain", "text/plain; charset=utf-8"},
        {"text/html; charset=ISO-8859-2", "text/html; charset=ISO-8859-2"},
        {"text/html; CHARSET=utf-8", "text/html; CHARSET=utf-8"},
        {"", "text/html; charset=utf-8"},
        {"text/html\r\nBcc: x", "text/html  Bcc: x; charset=utf-8"},
    };
    for (const auto& c : cases) EXPECT_EQ(EffectiveContentType(c.in), c.out) << c.in;
}

TEST(SmtpReply, ParsesLinesAndTheOffersOfEhlo)
{
    const struct {
        const char* line;
        bool ok;
        int code;
        bool more;
        const char* text;
    } cases[] = {
        {"250 OK", true, 250, false, "OK"}, {"250-PIPELINING", true, 250, true, "PIPELINING"},
        {"354", true, 354, false, ""},     {"2500 x", false, 0, false, ""},
        {"abc def", false, 0, false, ""},   {"25", false, 0, false, ""},
        {"199 low", false, 0, false, ""},   {"", false, 0, false, ""},
    };
    for (const auto& c : cases) {
        int code = 0;
        bool more = false;
        std::string text;
        ASSERT_EQ(ParseSmtpReplyLine(c.line, code, more, text), c.ok) << c.line;
        if (!c.ok) continue;
        EXPECT_EQ(code, c.code);
        EXPECT_EQ(more, c.more);
        EXPECT_EQ(text, c.text);
    }

    const struct {
        std::vector<std::string> lines;
        bool startTls, plain, login;
    } offers[] = {
        {{"mail.example.org", "STARTTLS", "AUTH PLAIN LOGIN"}, true, true, true},
        {{"mail.example.org", "auth=login", "8BITMIME"}, false, false, true},
        {{"mail.example.org", "AUTH CRAM-MD5 PLAIN ", "starttls "}, true, true, false},
        {{"STARTTLS AUTH PLAIN"}, false, false, false},  // the greeting line is no offer
        {{"mail.example.org", "AUTHENTICATE PLAIN"}, false, false, false},
    };
    for (const auto& o : offers) {
        const CSmtpExtensions extensions = ParseEhloExtensions({250, o.lines});
        EXPECT_EQ(extensions.startTls, o.startTls) << o.lines.back();
        EXPECT_EQ(extensions.authPlain, o.plain) << o.lines.back();
        EXPECT_EQ(extensions.authLogin, o.login) << o.lines.back();
    }
}

TEST(MailAddresses, TakeTheAddressAndRefuseWhatCouldBreakACommand)
{
    const struct {
        const char *in, *out;
    } cases[] = {
        {"ann@example.org", "ann@example.org"},
        {"  ann@example.org ", "ann@example.org"},
        {"Ann Smith <ann@example.org>", "ann@example.org"},
        {"\"Smith, Ann\" <ann@example.org>", "ann@example.org"},
        {"<ann@example.org>", "ann@example.org"},
        {"ann@example.org>\r\nRCPT TO:<x@y", ""},
        {"ann @example.org", ""},
        {"Ann <ann@example.org", ""},
        {"Ann <ann@example.org> extra", ""},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(EnvelopeAddress(c.in), c.out) << c.in;

    EXPECT_EQ(EnvelopeRecipients("a@x.org, \"B, b\" <b@y.org>,c@z.org,"),
              (std::vector<std::string>{"a@x.org", "b@y.org", "c@z.org"}));
    EXPECT_EQ(EnvelopeRecipients("a@x.org, bad address"), (std::vector<std::string>{"a@x.org", ""}));

    EXPECT_EQ(DefaultSender("ann@example.org", "bob@example.org"), "ann@example.org");
    EXPECT_EQ(DefaultSender("ann", "Bob <bob@example.org>, c@example.org"), "bob@example.org");
    EXPECT_EQ(DefaultSender("", ""), "");
}

}  // namespace
