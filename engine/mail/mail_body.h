// A notification mail request: addresses, subject, texts and further parts
// (CMailBody), and a request with the outcome of its sending (CMailInfo).
//
// These records use the pooled containers, so they belong to the thread
// that made them; the sender copies what it needs into plain text before
// anything crosses to another OS thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/mail/mail_part.h"
#include "foundation/containers/pooled_list.h"
#include "foundation/text/fixed_string.h"
#include "foundation/text/text_buffer.h"

class CMailBody {
public:
    static constexpr const char* kDefaultContentType = "text/html";
    static constexpr const char* kProgressImageName = "Progress.jpg";
    static constexpr const char* kProgressImageType = "image/jpeg";
    // Base64 line length of MIME bodies.
    static constexpr std::size_t kBase64LineLength = 76;

    CMailBody();
    CMailBody(const CMailBody& other) = default;
    CMailBody& operator=(const CMailBody& other) = default;
    ~CMailBody() = default;  // the parts go back to their pool

    // Appends the bytes as the part "Progress.jpg" ("image/jpeg", base64).
    void AddImagePart(const void* bytes, std::size_t count);
    void AddImagePart(std::string_view bytes) { AddImagePart(bytes.data(), bytes.size()); }

    CFixedString255 mRecipient;    // To and RCPT; several addresses are separated by commas
    CTextBuffer mSubject;
    CTextBuffer mSender;           // From and MAIL FROM; "Name <address>" or a bare address
    CTextBuffer mNote;             // carried along, never sent
    CTextBuffer mPlainText;        // the plain-text alternative
    CTextBuffer mMessageText;      // the main text
    CFixedString255 mContentType;  // the MIME type of mMessageText
    TPooledList<CMailPart> mParts;
};

class CMailInfo {
public:
    CMailInfo() = default;
    explicit CMailInfo(const CMailBody& body) : mBody(body) {}

    CMailBody mBody;
    // Set only once the server has accepted the message.
    bool mSent = false;
    std::int32_t mResultCode = 0;
    CFixedString255 mResultText;
};
