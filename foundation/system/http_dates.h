// Dates as HTTP writes them. Parsing and formatting are English and UTC
// whatever the locale and time zone, so a crawl reads the same dates on
// every machine. Times are seconds since 1970-01-01 00:00:00 UTC, 64-bit.
#pragma once

#include <cstdint>

#include "foundation/text/fixed_string.h"

// Reads an HTTP or cookie date: RFC 1123 ("Sun, 06 Nov 1994 08:49:37 GMT"),
// RFC 850 ("Sunday, 06-Nov-94 08:49:37 GMT"), asctime ("Sun Nov  6 08:49:37
// 1994") and the cookie forms in between, by the tolerant token rules that
// browsers use for cookie dates. Two-digit years 70-99 are 19xx, 00-69 20xx.
// False, with `seconds` unchanged, when a part is missing or out of range or
// the day does not exist in its month.
[[nodiscard]] bool ParseDateTimeText(const char* text, std::int64_t& seconds);

// "Mon, 07 Dec 2026 09:05:03 GMT" (IMF-fixdate: the day has two digits,
// which servers require before they honour If-Modified-Since).
void FormatHTTPDate(std::int64_t seconds, CFixedString255& text);

// The 1904-based seconds that some stored formats hold (cookie file, file
// dates of the original program) count from 1904-01-01 00:00:00 UTC here;
// convert at the format's edge only.
constexpr std::int64_t kSeconds1904To1970 = 2082844800;
[[nodiscard]] constexpr std::int64_t UnixToSeconds1904(std::int64_t unixSeconds) { return unixSeconds + kSeconds1904To1970; }
[[nodiscard]] constexpr std::int64_t Seconds1904ToUnix(std::int64_t seconds1904) { return seconds1904 - kSeconds1904To1970; }
