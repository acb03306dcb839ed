#include "engine/filters/filter_date.h"

#include <ctime>
#include <string>
#include <string_view>

#include "foundation/system/http_dates.h"
#include "foundation/text/ascii.h"
#include "foundation/text/text_encodings.h"

namespace {

// Reads exactly `count` digits at `at`, moving past them.
bool ReadFixedDigits(std::string_view text, std::size_t& at, std::size_t count, int& value)
{
    if (text.size() - at < count) return false;
    value = 0;
    for (std::size_t end = at + count; at < end; ++at) {
        if (!IsAsciiDigit(static_cast<unsigned char>(text[at]))) return false;
        value = value * 10 + (text[at] - '0');
    }
    return true;
}

// "YYYY-MM-DD", then optionally a blank or 'T' and "HH:MM" or "HH:MM:SS".
bool ParseNumericDate(std::string_view text, std::int64_t& seconds)
{
    text = TrimAsciiSpace(text);
    std::size_t at = 0;
    std::tm parts{};
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (!ReadFixedDigits(text, at, 4, year) || at >= text.size() || text[at++] != '-') return false;
    if (!ReadFixedDigits(text, at, 2, month) || at >= text.size() || text[at++] != '-') return false;
    if (!ReadFixedDigits(text, at, 2, day)) return false;
    if (at < text.size()) {
        if (text[at] != ' ' && text[at] != 'T') return false;
        ++at;
        if (!ReadFixedDigits(text, at, 2, hour) || at >= text.size() || text[at++] != ':') return false;
        if (!ReadFixedDigits(text, at, 2, minute)) return false;
        if (at < text.size() && (text[at++] != ':' || !ReadFixedDigits(text, at, 2, second))) return false;
        if (at != text.size()) return false;
    }
    if (month < 1 || month > 12 || day < 1 || hour > 23 || minute > 59 || second > 59) return false;
    parts.tm_year = year - 1900;
    parts.tm_mon = month - 1;
    parts.tm_mday = day;
    parts.tm_hour = hour;
    parts.tm_min = minute;
    parts.tm_sec = second;
    std::time_t made = ::timegm(&parts);
    // timegm moves an impossible day (February 30) into the next month.
    if (parts.tm_mday != day || parts.tm_mon != month - 1) return false;
    seconds = static_cast<std::int64_t>(made);
    return true;
}

}  // namespace

bool ParseFilterDate(const char* text, std::int64_t& seconds)
{
    if (text == nullptr || *text == '\0') return false;
    if (ParseDateTimeText(text, seconds)) return true;
    std::string_view view(text);
    if (view.find(':') == std::string_view::npos) {
        std::string atMidnight = std::string(view) + " 00:00:00";
        if (ParseDateTimeText(atMidnight.c_str(), seconds)) return true;
    }
    return ParseNumericDate(view, seconds);
}
