// Header fields of a notification mail: folding, encoded words for text
// that is not plain ASCII, and the date.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Lines of a header field end with CR LF; continuation lines start with a
// blank. Folded lines aim at 78 characters and never pass 998.
inline constexpr std::size_t kHeaderLineTarget = 78;
inline constexpr std::size_t kHeaderLineLimit = 998;

// "Name: value" CR LF for an unstructured text (Subject). CR and LF inside
// the value become blanks, so a value can never add a header of its own.
// Printable ASCII is folded at blanks; anything else, and a run too long to
// fold, is written as UTF-8 encoded words (RFC 2047).
std::string UnstructuredHeader(std::string_view name, std::string_view value);

// "Name: value" CR LF for an address list (From, To). A display name that
// is not plain ASCII ("Zoë <zoe@example.org>") becomes encoded words; the
// address stays as it is.
std::string AddressHeader(std::string_view name, std::string_view value);

// "=?UTF-8?B?...?=" words of at most 68 characters, joined by CR LF and a
// blank; a UTF-8 character is never split between two words.
std::string EncodeHeaderWords(std::string_view text);

// The mail date of a moment (seconds since 1970) in local time with its
// zone offset: "Mon, 7 Dec 2026 09:05:03 +0100", English names.
std::string FormatMailDate(std::int64_t seconds);
