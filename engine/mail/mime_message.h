// The MIME text of a notification mail, built from a CMailBody:
//
//   no texts, no parts      headers only
//   main text only          one text entity
//   plain text (+ main)     multipart/alternative: text/plain, then the main text
//   with parts              multipart/mixed: the text entity above (when there
//                           is any text), then each part with data, in order
//
// Texts go out as UTF-8 in quoted-printable, parts with their own header
// lines and data, so every line stays far below the SMTP limit.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class CMailBody;

// The main text's content type: the body's, with "; charset=utf-8" added
// when it names no charset (all text of the program is UTF-8). A given
// charset is kept as it is.
std::string EffectiveContentType(std::string_view contentType);

// The whole message: From, To, Subject, Date, Message-ID, MIME-Version and
// the body as above; every line ended by CR LF.
std::string BuildMimeMessage(const CMailBody& body, std::string_view messageId, std::int64_t dateSeconds);
