#include "foundation/system/http_dates.h"

#include <cstdio>
#include <string_view>

#include "foundation/text/text_encodings.h"

namespace {

constexpr const char* kDayNames[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kMonthNames[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// Civil calendar <-> days since 1970-01-01, proleptic Gregorian, valid for
// every 64-bit day count we can meet.
std::int64_t DaysFromCivil(std::int64_t year, unsigned month, unsigned day)
{
    year -= month <= 2;
    std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    std::int64_t yearOfEra = year - era * 400;
    std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

void CivilFromDays(std::int64_t days, std::int64_t& year, unsigned& month, unsigned& day)
{
    days += 719468;
    std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    std::int64_t dayOfEra = days - era * 146097;
    std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    std::int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
    day = static_cast<unsigned>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    month = static_cast<unsigned>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
    year = yearOfEra + era * 400 + (month <= 2);
}

unsigned DaysInMonth(std::int64_t year, unsigned month)
{
    static constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

// Cookie-date delimiters: everything but digits, letters, ':' and bytes
// outside the printable ASCII punctuation.
bool IsDelimiter(unsigned char c)
{
    return c == 0x09 || (c >= 0x20 && c <= 0x2F) || (c >= 0x3B && c <= 0x40) || (c >= 0x5B && c <= 0x60) ||
           (c >= 0x7B && c <= 0x7E);
}

// Reads minDigits to maxDigits digits from `at` on, moving `at` past them;
// false when there are too few or another digit follows.
bool ReadDigits(std::string_view token, std::size_t& at, std::size_t minDigits, std::size_t maxDigits,
                unsigned& value)
{
    std::size_t start = at;
    value = 0;
    while (at < token.size() && IsAsciiDigit(static_cast<unsigned char>(token[at])) && at - start < maxDigits)
        value = value * 10 + static_cast<unsigned>(token[at++] - '0');
    std::size_t count = at - start;
    if (count < minDigits) return false;
    return at == token.size() || !IsAsciiDigit(static_cast<unsigned char>(token[at]));
}

bool ParseTime(std::string_view token, unsigned& hour, unsigned& minute, unsigned& second)
{
    std::size_t at = 0;
    if (!ReadDigits(token, at, 1, 2, hour) || at >= token.size() || token[at++] != ':') return false;
    if (!ReadDigits(token, at, 1, 2, minute) || at >= token.size() || token[at++] != ':') return false;
    return ReadDigits(token, at, 1, 2, second);
}

bool ParseMonth(std::string_view token, unsigned& month)
{
    if (token.size() < 3) return false;
    for (unsigned i = 0; i < 12; ++i) {
        const char* name = kMonthNames[i];
        if (AsciiLower(token[0]) == AsciiLower(name[0]) && AsciiLower(token[1]) == name[1] &&
            AsciiLower(token[2]) == name[2]) {
            month = i + 1;
            return true;
        }
    }
    return false;
}

}  // namespace

bool ParseDateTimeText(const char* text, std::int64_t& seconds)
{
    if (text == nullptr) return false;
    bool haveTime = false, haveDay = false, haveMonth = false, haveYear = false;
    unsigned hour = 0, minute = 0, second = 0, day = 0, month = 0, year = 0;
    std::string_view rest(text);
    while (!rest.empty()) {
        while (!rest.empty() && IsDelimiter(static_cast<unsigned char>(rest.front()))) rest.remove_prefix(1);
        std::size_t length = 0;
        while (length < rest.size() && !IsDelimiter(static_cast<unsigned char>(rest[length]))) ++length;
        std::string_view token = rest.substr(0, length);
        rest.remove_prefix(length);
        if (token.empty()) continue;
        // Each token fills the first part still missing that it fits.
        std::size_t dayEnd = 0, yearEnd = 0;
        unsigned value = 0;
        if (!haveTime && ParseTime(token, hour, minute, second)) {
            haveTime = true;
        } else if (!haveDay && ReadDigits(token, dayEnd, 1, 2, value)) {
            day = value;
            haveDay = true;
        } else if (!haveMonth && ParseMonth(token, month)) {
            haveMonth = true;
        } else if (!haveYear && ReadDigits(token, yearEnd, 2, 4, value)) {
            year = value;
            haveYear = true;
        }
    }
    if (!haveTime || !haveDay || !haveMonth || !haveYear) return false;
    if (year >= 70 && year <= 99) year += 1900;
    else if (year <= 69) year += 2000;
    if (year < 1601 || day < 1 || day > DaysInMonth(year, month) || hour > 23 || minute > 59 || second > 59)
        return false;
    seconds = DaysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
    return true;
}

void FormatHTTPDate(std::int64_t seconds, CFixedString255& text)
{
    std::int64_t days = seconds / 86400;
    std::int64_t secondOfDay = seconds % 86400;
    if (secondOfDay < 0) {
        secondOfDay += 86400;
        --days;
    }
    std::int64_t year = 0;
    unsigned month = 0, day = 0;
    CivilFromDays(days, year, month, day);
    std::int64_t weekday = days >= -4 ? (days + 4) % 7 : (days + 5) % 7 + 6;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%s, %02u %s %04lld %02u:%02u:%02u GMT", kDayNames[weekday], day,
                  kMonthNames[month - 1], static_cast<long long>(year),
                  static_cast<unsigned>(secondOfDay / 3600), static_cast<unsigned>(secondOfDay / 60 % 60),
                  static_cast<unsigned>(secondOfDay % 60));
    text = buffer;
}
