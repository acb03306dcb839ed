#include "engine/config/configuration_file_text.h"

#include <algorithm>

#include "engine/filters/setting_values.h"
#include "foundation/settings/legacy_text.h"
#include "foundation/text/key_value_lines.h"
#include "foundation/text/utf8_validity.h"

namespace {

constexpr std::string_view kEndMark(kSettingEndMark, sizeof kSettingEndMark - 1);

// Length of the UTF-8 character a lead byte starts; 0 for a byte that
// cannot start one.
std::size_t CharLength(unsigned char lead)
{
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

bool IsEndMarkAt(std::string_view bytes, std::size_t at) { return bytes.substr(at, 2) == kEndMark; }

// Every byte read as MacRoman: a single byte of 0x80 or above is never
// UTF-8, so the legacy conversion always converts it.
std::string MacRomanToUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    for (char c : text) {
        if (static_cast<unsigned char>(c) < 0x80) out += c;
        else out += LegacyTextToUtf8(std::string_view(&c, 1));
    }
    return out;
}

std::string ConvertMacRomanValues(std::string_view bytes)
{
    std::string out;
    for (;;) {
        std::size_t mark = bytes.find(kEndMark);
        out += MacRomanToUtf8(bytes.substr(0, mark));
        if (mark == std::string_view::npos) return out;
        out += kEndMark;
        bytes.remove_prefix(mark + kEndMark.size());
    }
}

// Walks the characters of UTF-8 text with end marks; a return right after a
// character whose last byte is A5 belongs to the value.
void ProtectReturns(std::string& text)
{
    std::size_t at = 0;
    while (at < text.size()) {
        if (IsEndMarkAt(text, at)) {
            at += kEndMark.size();
            continue;
        }
        std::size_t length = std::max<std::size_t>(CharLength(static_cast<unsigned char>(text[at])), 1);
        at += length;
        if (length > 1 && at < text.size() && text[at - 1] == '\xA5' && text[at] == '\r') text[at] = kProtectedReturn;
    }
}

}  // namespace

bool IsUtf8ConfigurationText(std::string_view bytes)
{
    std::size_t at = 0;
    while (at < bytes.size()) {
        if (IsEndMarkAt(bytes, at)) {
            at += kEndMark.size();
            continue;
        }
        std::size_t length = CharLength(static_cast<unsigned char>(bytes[at]));
        if (length == 0 || bytes.size() - at < length || !IsValidUtf8(bytes.substr(at, length))) return false;
        at += length;
    }
    return true;
}

void PrepareConfigurationText(std::string& bytes)
{
    std::replace(bytes.begin(), bytes.end(), '\0', ' ');
    if (!IsUtf8ConfigurationText(bytes)) bytes = ConvertMacRomanValues(bytes);
    ProtectReturns(bytes);
}
