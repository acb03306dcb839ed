// Quoted-printable (RFC 2045) for the text parts of a mail: any bytes in,
// 7-bit lines of at most 76 characters out, so no text can pass the SMTP
// line limit or lose its 8-bit characters on the way.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

inline constexpr std::size_t kQuotedPrintableLineLength = 76;

// Line ends of the text (CR LF, LF or CR) become CR LF; no line end is added
// after the last line. '=', control and 8-bit bytes, and blanks at the end of
// a line are written as =XX; longer lines are broken with soft line breaks
// ("=" at the end of a line), never inside an =XX.
std::string EncodeQuotedPrintable(std::string_view text);
