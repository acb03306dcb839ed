#include "engine/mail/mail_headers.h"

#include <cstdio>
#include <ctime>

#include "foundation/text/base64.h"

namespace {

// 56 base64 chars: "=?UTF-8?B?" + 56 + "?=" is 68, so even the first line,
// after "Subject: ", stays within 78.
constexpr std::size_t kEncodedWordBytes = 42;

std::string OneLine(std::string_view value)
{
    std::string out(value);
    for (char& c : out)
        if (c == '\r' || c == '\n') c = ' ';
    return out;
}

bool IsPlainAscii(std::string_view text)
{
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x7F || (u < 0x20 && u != '\t')) return false;
    }
    return true;
}

// Length of a UTF-8 lead byte's sequence (1 for a stray continuation byte).
std::size_t Utf8Length(unsigned char lead)
{
    if (lead >= 0xF0) return 4;
    if (lead >= 0xE0) return 3;
    if (lead >= 0xC0) return 2;
    return 1;
}

// Folds "Name: value" before runs of blanks, keeping every blank, so the
// value unfolds to what it was; false when a piece would pass the limit.
bool FoldAtBlanks(std::string_view name, std::string_view value, std::string& out)
{
    const std::size_t first = value.find_first_not_of(" \t");
    value = first == std::string_view::npos ? std::string_view() : value.substr(first);
    out.assign(name);
    out += ": ";
    std::size_t column = out.size();
    const std::size_t valueColumn = column;
    std::size_t at = 0;
    while (at < value.size()) {
        std::size_t wordStart = value.find_first_not_of(" \t", at);
        if (wordStart == std::string_view::npos) wordStart = value.size();
        std::size_t wordEnd = value.find_first_of(" \t", wordStart);
        if (wordEnd == std::string_view::npos) wordEnd = value.size();
        const std::string_view piece = value.substr(at, wordEnd - at);  // blanks, then a word
        if (column + piece.size() > kHeaderLineTarget && column > valueColumn && wordStart > at) {
            out += "\r\n";
            column = 0;
        }
        out += piece;
        column += piece.size();
        if (column > kHeaderLineLimit) return false;
        at = wordEnd;
    }
    out += "\r\n";
    return true;
}

std::string EncodedField(std::string_view name, std::string_view value)
{
    return std::string(name) + ": " + EncodeHeaderWords(value) + "\r\n";
}

}  // namespace

std::string EncodeHeaderWords(std::string_view text)
{
    std::string out;
    std::size_t at = 0;
    do {
        std::size_t end = at;
        while (end < text.size()) {
            std::size_t next = end + Utf8Length(static_cast<unsigned char>(text[end]));
            if (next > text.size()) next = text.size();
            if (next - at > kEncodedWordBytes) break;
            end = next;
        }
        if (end == at) end = at + 1;  // cannot happen with 42 bytes a word; keeps the loop moving
        if (!out.empty()) out += "\r\n ";
        out += "=?UTF-8?B?" + EncodeBase64(text.substr(at, end - at)) + "?=";
        at = end;
    } while (at < text.size());
    return out;
}

std::string UnstructuredHeader(std::string_view name, std::string_view value)
{
    const std::string line = OneLine(value);
    std::string folded;
    if (IsPlainAscii(line) && FoldAtBlanks(name, line, folded)) return folded;
    return EncodedField(name, line);
}

std::string AddressHeader(std::string_view name, std::string_view value)
{
    const std::string line = OneLine(value);
    std::string folded;
    if (IsPlainAscii(line) && FoldAtBlanks(name, line, folded)) return folded;
    const std::size_t open = line.find('<');
    if (open == std::string::npos) return std::string(name) + ": " + line + "\r\n";
    std::string display = line.substr(0, open);
    while (!display.empty() && (display.back() == ' ' || display.back() == '\t')) display.pop_back();
    if (display.size() >= 2 && display.front() == '"' && display.back() == '"')
        display = display.substr(1, display.size() - 2);
    const std::string address = line.substr(open);
    if (display.empty()) return std::string(name) + ": " + address + "\r\n";
    return std::string(name) + ": " + EncodeHeaderWords(display) + "\r\n " + address + "\r\n";
}

std::string FormatMailDate(std::int64_t seconds)
{
    static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const std::time_t when = static_cast<std::time_t>(seconds);
    struct tm parts {};
    if (::localtime_r(&when, &parts) == nullptr) {
        parts = tm{};
        parts.tm_mday = 1;
        parts.tm_year = 70;
    }
    const long offset = parts.tm_gmtoff;
    const long magnitude = (offset < 0 ? -offset : offset) / 60;
    char text[64];
    std::snprintf(text, sizeof text, "%s, %d %s %d %02d:%02d:%02d %c%02ld%02ld", kDays[(parts.tm_wday % 7 + 7) % 7],
                  parts.tm_mday, kMonths[(parts.tm_mon % 12 + 12) % 12], parts.tm_year + 1900, parts.tm_hour,
                  parts.tm_min, parts.tm_sec, offset < 0 ? '-' : '+', magnitude / 60, magnitude % 60);
    return text;
}
