#include "engine/mail/mime_message.h"

#include <vector>

#include "engine/mail/mail_body.h"
#include "engine/mail/mail_headers.h"
#include "engine/mail/message_id.h"
#include "engine/mail/quoted_printable.h"
#include "foundation/text/ascii.h"
#include "foundation/text/text_encodings.h"

namespace {

constexpr const char* kPlainTextType = "text/plain; charset=utf-8";

// Header lines (each ended by CR LF) and the body of one MIME entity.
struct MimeEntity {
    std::string headers;
    std::string body;
};

std::string WithoutLineBreaks(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c == '\r' || c == '\n') c = ' ';
    return out;
}

MimeEntity TextEntity(std::string_view text, std::string_view contentType)
{
    return {"Content-Type: " + WithoutLineBreaks(contentType) + "\r\nContent-Transfer-Encoding: quoted-printable\r\n",
            EncodeQuotedPrintable(text)};
}

MimeEntity PartEntity(const CMailPart& part)
{
    MimeEntity entity{part.mHeaderText.str(), part.mData.str()};
    if (!entity.headers.empty() && entity.headers.back() != '\n') entity.headers += "\r\n";
    return entity;
}

// A boundary that no entity's text contains. Encoded texts cannot hold "=_"
// at all; raw part data is checked.
std::string MakeBoundary(const std::vector<MimeEntity>& entities)
{
    for (;;) {
        std::string boundary = "=_tidewell_" + NewUuidHex();
        bool clash = false;
        for (const MimeEntity& entity : entities)
            clash = clash || entity.body.find(boundary) != std::string::npos;
        if (!clash) return boundary;
    }
}

MimeEntity MultipartEntity(std::string_view subtype, const std::vector<MimeEntity>& entities)
{
    const std::string boundary = MakeBoundary(entities);
    MimeEntity multipart;
    multipart.headers = "Content-Type: multipart/" + std::string(subtype) + ";\r\n\tboundary=\"" + boundary + "\"\r\n";
    for (const MimeEntity& entity : entities) {
        multipart.body += "--" + boundary + "\r\n" + entity.headers + "\r\n" + entity.body;
        // The line end before a delimiter belongs to the delimiter.
        multipart.body += "\r\n";
    }
    multipart.body += "--" + boundary + "--\r\n";
    return multipart;
}

// The texts of the body as one entity; false when there is no text.
bool TextsEntity(const CMailBody& body, MimeEntity& entity)
{
    const std::string contentType = EffectiveContentType(body.mContentType.View());
    if (body.mPlainText.IsEmpty()) {
        if (body.mMessageText.IsEmpty()) return false;
        entity = TextEntity(body.mMessageText.View(), contentType);
        return true;
    }
    std::vector<MimeEntity> alternatives{TextEntity(body.mPlainText.View(), kPlainTextType)};
    if (!body.mMessageText.IsEmpty()) alternatives.push_back(TextEntity(body.mMessageText.View(), contentType));
    entity = MultipartEntity("alternative", alternatives);
    return true;
}

}  // namespace

std::string EffectiveContentType(std::string_view contentType)
{
    std::string type = WithoutLineBreaks(contentType);
    if (type.empty()) type = CMailBody::kDefaultContentType;
    if (!ContainsNoCase(type, "charset=")) type += "; charset=utf-8";
    return type;
}

std::string BuildMimeMessage(const CMailBody& body, std::string_view messageId, std::int64_t dateSeconds)
{
    std::string message;
    message += AddressHeader("From", body.mSender.View());
    message += AddressHeader("To", body.mRecipient.View());
    message += UnstructuredHeader("Subject", body.mSubject.View());
    message += "Date: " + FormatMailDate(dateSeconds) + "\r\n";
    message += "Message-ID: " + WithoutLineBreaks(messageId) + "\r\n";
    message += "MIME-Version: 1.0\r\n";

    MimeEntity content;
    bool hasContent = false;
    if (body.mParts.IsEmpty()) {
        hasContent = TextsEntity(body, content);
    } else {
        std::vector<MimeEntity> entities;
        MimeEntity texts;
        if (TextsEntity(body, texts)) entities.push_back(std::move(texts));
        for (const CMailPart& part : body.mParts)
            if (!part.mData.IsEmpty()) entities.push_back(PartEntity(part));
        if (!entities.empty()) {
            content = MultipartEntity("mixed", entities);
            hasContent = true;
        }
    }
    if (!hasContent) return message + "\r\n";
    message += content.headers + "\r\n" + content.body;
    if (message.back() != '\n') message += "\r\n";
    return message;
}
