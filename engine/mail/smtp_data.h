// The message text as it goes out after DATA: CR LF line ends, long lines
// cut, leading dots doubled, and the terminating dot line.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The longest line (without its CR LF) that a server must accept.
inline constexpr std::size_t kMaxSmtpLineLength = 998;

// Lines end at CR, LF or CR LF and go out ended by CR LF; a text that does
// not end with a line end gets one. A line longer than kMaxSmtpLineLength is
// cut into pieces that each go out as a line; a piece (or line) that starts
// with "." gets a second "." in front, and is cut one character shorter, so
// that no line on the wire passes the limit. With `endData`, an empty line
// and the terminating "." line follow.
std::string EncodeSmtpData(std::string_view message, bool endData);
