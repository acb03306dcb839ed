// The mail request records and the MIME message built from them, read back
// by Python's email package as a mail program would read it.
#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/mail/mail_body.h"
#include "engine/mail/message_id.h"
#include "engine/mail/mime_message.h"
#include "platform/xattr/item_attributes.h"
#include "tests/mail/parsed_mail.h"
#include "tests/support/temp_dir.h"

namespace {

std::string Unix(std::string text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out += text[i];
        }
    }
    while (!out.empty() && out.back() == '\n') out.pop_back();
    return out;
}

std::string SomeJpegLikeBytes()
{
    std::string bytes = "\xff\xd8\xff\xe0";
    for (int i = 0; i < 3000; ++i) bytes += static_cast<char>((i * 131) ^ (i >> 3));
    return bytes + "\xff\xd9";
}

TEST(MessageId, TakesTheSendersDomainOrTheHostName)
{
    const std::string host = LocalHostName();
    ASSERT_FALSE(host.empty());
    EXPECT_TRUE(std::regex_match(host, std::regex("[A-Za-z0-9._-]+"))) << host;
    const struct {
        const char* sender;
        std::string domain;
    } cases[] = {
        {"Ann <ann@example.org>", "example.org"},
        {"ann@example.org", "example.org"},
        {"odd@name@mail.example.org", "mail.example.org"},
        {"ann", host},
        {"", host},
        {"ann@", host},
        {"ann@bad domain", host},
    };
    for (const auto& c : cases) {
        const std::string id = MakeMessageID(c.sender);
        EXPECT_TRUE(std::regex_match(id, std::regex("<[0-9a-f]{12}4[0-9a-f]{3}[89ab][0-9a-f]{15}@" +
                                                    std::regex_replace(c.domain, std::regex("\\."), "\\.") + ">")))
            << c.sender << " -> " << id;
    }
    EXPECT_NE(MakeMessageID("a@b.org"), MakeMessageID("a@b.org"));
}

TEST(MailPart, HeaderTextKeepsAUsableTypeWhenTheNameTellsNone)
{
    CMailBody body;
    body.AddImagePart(std::string("\x01\x02\x03", 3));
    ASSERT_EQ(body.mParts.Count(), 1);
    const CMailPart& image = body.mParts.Head()->element;
    EXPECT_EQ(image.mHeaderText.str(),
              "Content-Transfer-Encoding: base64\r\nContent-Type: image/jpeg;\r\n\tname=\"Progress.jpg\"\r\n"
              "Content-Disposition: inline;\r\n\tfilename=Progress.jpg\r\n");
    EXPECT_EQ(image.mData.str(), "AQID\r\n");

    const struct {
        const char *name, *typeBefore, *typeAfter, *filenameLine;
    } cases[] = {
        {"Progress.qqq", "image/jpeg", "image/jpeg", "\tfilename=Progress.qqq"},  // no mapping: kept
        {"notes", "", "application/octet-stream", "\tfilename=notes"},
        {"report 1.txt", "", "text/plain", "\tfilename=\"report 1.txt\""},
        {"a\"b\r\nX-Evil: 1.html", "", "text/html", "\tfilename=\"a_b  X-Evil: 1.html\""},
    };
    for (const auto& c : cases) {
        CMailPart part;
        part.mName.Assign(c.name);
        part.mContentType.Assign(c.typeBefore);
        part.BuildHeaderText();
        EXPECT_EQ(part.mContentType.str(), c.typeAfter) << c.name;
        const std::string header = part.mHeaderText.str();
        EXPECT_NE(header.find(std::string("Content-Type: ") + c.typeAfter + ";\r\n"), std::string::npos) << header;
        EXPECT_NE(header.find(std::string(c.filenameLine) + "\r\n"), std::string::npos) << header;
        EXPECT_EQ(header.find("\r\nX-Evil"), std::string::npos) << header;
        EXPECT_NE(header.find("Content-Transfer-Encoding: 7bit\r\n"), std::string::npos);
    }
}

TEST(MailPart, AFileLabelledAsTextIsSentAsPlainText)
{
    testsupport::TempDir dir;
    const std::string path = dir.Write("page.html", "<p>hi</p>");
    if (WriteItemCode(path.c_str(), kFileTypeAttribute, 0x54455854 /* TEXT */) != 0 ||
        WriteItemCode(path.c_str(), kFileCreatorAttribute, 0x3F3F3F3F) != 0)
        GTEST_SKIP() << "no user extended attributes here";
    CMailPart part;
    part.mName.Assign("page.html");
    part.mSourcePath.Assign(path);
    part.BuildHeaderText();
    EXPECT_EQ(part.mContentType.str(), "text/plain");
    part.mSourcePath.Assign(dir.File("missing.html"));
    part.BuildHeaderText();
    EXPECT_EQ(part.mContentType.str(), "text/html");
}

TEST(MailBody, CopiesCarryEveryPartOnTheirOwn)
{
    CMailBody body;
    body.mNote.Assign("kept");
    body.AddImagePart(std::string("abc"));
    CMailInfo info(body);
    EXPECT_FALSE(info.mSent);
    body.mParts.Head()->element.mData.Assign("changed");
    ASSERT_EQ(info.mBody.mParts.Count(), 1);
    EXPECT_EQ(info.mBody.mParts.Head()->element.mData.str(), "YWJj\r\n");
    EXPECT_EQ(info.mBody.mNote.str(), "kept");
    EXPECT_EQ(info.mBody.mContentType.str(), "text/html");
}

struct StructureCase {
    const char* name;
    const char* plain;
    const char* html;
    int images;          // image parts with data
    bool emptyPart;      // one more part without data
    std::vector<std::string> types;  // entity types in walk order
};

TEST(MimeMessage, HasTheStructureTheTextsAndPartsCallFor)
{
    const std::string jpeg = SomeJpegLikeBytes();
    const StructureCase cases[] = {
        {"nothing", "", "", 0, false, {"text/plain"}},
        {"html only", "", "<p>hi</p>", 0, false, {"text/html"}},
        {"plain only", "hi", "", 0, false, {"multipart/alternative", "text/plain"}},
        {"plain and html", "hi", "<p>hi</p>", 0, false, {"multipart/alternative", "text/plain", "text/html"}},
        {"html and image", "", "<p>hi</p>", 1, false, {"multipart/mixed", "text/html", "image/jpeg"}},
        {"all", "hi", "<p>hi</p>", 1, false,
         {"multipart/mixed", "multipart/alternative", "text/plain", "text/html", "image/jpeg"}},
        {"empty part left out", "", "<p>hi</p>", 0, true, {"multipart/mixed", "text/html"}},
        {"image alone", "", "", 2, false, {"multipart/mixed", "image/jpeg", "image/jpeg"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CMailBody body;
        body.mRecipient = "bob@example.org";
        body.mSender.Assign("Ann <ann@example.org>");
        body.mSubject.Assign("Report");
        body.mPlainText.Assign(c.plain);
        body.mMessageText.Assign(c.html);
        for (int i = 0; i < c.images; ++i) body.AddImagePart(jpeg);
        if (c.emptyPart) {
            CMailPart part;
            part.mName.Assign("empty.txt");
            part.BuildHeaderText();
            body.mParts.Append(part);
        }
        const std::string raw = BuildMimeMessage(body, MakeMessageID("ann@example.org"), 1796634303);
        const ParsedMail mail = ParseMail(raw);
        EXPECT_TRUE(mail.defects.empty()) << mail.defects.front() << "\n" << raw;
        EXPECT_TRUE(mail.onlyCrLf);
        EXPECT_LE(mail.longestLine, 78u);
        std::vector<std::string> types;
        for (const ParsedEntity& entity : mail.entities) types.push_back(entity.contentType);
        EXPECT_EQ(types, c.types) << raw;
        EXPECT_EQ(mail.headers.at("from"), "Ann <ann@example.org>");
        EXPECT_EQ(mail.headers.at("to"), "bob@example.org");
        EXPECT_EQ(mail.headers.at("subject"), "Report");
        EXPECT_EQ(mail.headers.at("mime-version"), "1.0");
        EXPECT_TRUE(std::regex_match(mail.headers.at("message-id"), std::regex("<[0-9a-f]{32}@example\\.org>")));
        EXPECT_NE(mail.headers.at("date").find("Dec 2026"), std::string::npos);
        for (const ParsedEntity& entity : mail.entities) {
            if (entity.contentType == "text/plain" && c.plain[0] != '\0') {
                EXPECT_EQ(Unix(entity.body), c.plain);
            }
            if (entity.contentType == "text/html") {
                EXPECT_EQ(Unix(entity.body), c.html);
                EXPECT_EQ(entity.charset, "utf-8");
                EXPECT_EQ(entity.transferEncoding, "quoted-printable");
            }
            if (entity.contentType == "image/jpeg") {
                EXPECT_EQ(entity.body, jpeg);
                EXPECT_EQ(entity.filename, "Progress.jpg");
                EXPECT_EQ(entity.disposition, "inline");
                EXPECT_EQ(entity.transferEncoding, "base64");
            }
        }
    }
}

TEST(MimeMessage, TextsOfAnyKindArriveAsWritten)
{
    std::string text = "Caf\xc3\xa9 \xe2\x80\x94 na\xc3\xafve\n";
    text += ".a line that starts with a dot\n.\n";
    text += "From the start of a line\n";
    text += std::string(2500, 'w') + "\n";
    text += "=3D is not an escape; trailing blanks   \n";
    text += "last line without end";

    CMailBody body;
    body.mRecipient = "bob@example.org";
    body.mSender.Assign("\"Zo\xc3\xab\" <zoe@example.org>");
    body.mSubject.Assign("Niveau 2 \xe2\x80\x94 50 % termin\xc3\xa9 " + std::string(120, 'x'));
    body.mPlainText.Assign(text);
    body.mMessageText.Assign("<p>" + text + "</p>");
    body.mContentType = "text/html";
    const std::string raw = BuildMimeMessage(body, MakeMessageID("zoe@example.org"), 1796634303);
    const ParsedMail mail = ParseMail(raw);
    EXPECT_TRUE(mail.defects.empty());
    EXPECT_LE(mail.longestLine, 78u);
    EXPECT_EQ(mail.headers.at("subject"), body.mSubject.str());
    EXPECT_EQ(mail.headers.at("from"), "Zo\xc3\xab <zoe@example.org>");
    ASSERT_EQ(mail.entities.size(), 3u);
    EXPECT_EQ(Unix(mail.entities[1].body), text);
    EXPECT_EQ(mail.entities[1].charset, "utf-8");
    EXPECT_EQ(Unix(mail.entities[2].body), "<p>" + text + "</p>");
    // Every byte of the raw message is 7-bit.
    for (char c : raw) ASSERT_LT(static_cast<unsigned char>(c), 0x80u);
}

}  // namespace
