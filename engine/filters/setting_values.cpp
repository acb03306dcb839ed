#include "engine/filters/setting_values.h"

#include <limits>

#include "foundation/text/key_value_lines.h"
#include "foundation/text/text_encodings.h"

namespace {

constexpr std::string_view kEndMark(kSettingEndMark, sizeof kSettingEndMark - 1);

std::string KeyWithBlank(const char* key) { return std::string(key ? key : "") + ' '; }

}  // namespace

void RestoreProtectedReturns(std::string& value)
{
    for (std::size_t at = value.find(kProtectedReturn); at != std::string::npos;
         at = value.find(kProtectedReturn, at + 1)) {
        if (at > 0 && value[at - 1] == '\xA5') value[at] = '\r';
    }
}

std::int32_t LeadingDecimal(std::string_view text)
{
    std::size_t at = 0;
    while (at < text.size() && IsAsciiSpace(static_cast<unsigned char>(text[at]))) ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) negative = text[at++] == '-';
    std::int64_t value = 0;
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    for (; at < text.size() && IsAsciiDigit(static_cast<unsigned char>(text[at])); ++at) {
        value = value * 10 + (text[at] - '0');
        if (value > kLimit) value = kLimit;
    }
    if (negative) return static_cast<std::int32_t>(-value);
    return static_cast<std::int32_t>(value == kLimit ? kLimit - 1 : value);
}

bool ReadTextValue(CTextBuffer& text, const char* key, std::string& value)
{
    CTextBuffer found;
    if (!ReadSetting(text, KeyWithBlank(key).c_str(), found)) return false;
    value = found.str();
    RestoreProtectedReturns(value);
    return true;
}

bool ReadTextSetting(CTextBuffer& text, const char* key, CTextBuffer& value)
{
    std::string found;
    if (!ReadTextValue(text, key, found)) return false;
    value.Assign(std::string_view(found));
    return true;
}

bool ReadIntegerSetting(CTextBuffer& text, const char* key, std::int32_t& value)
{
    std::string found;
    if (!ReadTextValue(text, key, found)) return false;
    value = LeadingDecimal(found);
    return true;
}

bool ReadFlagSetting(CTextBuffer& text, const char* key, std::uint8_t& value)
{
    std::int32_t number = 0;
    if (!ReadIntegerSetting(text, key, number)) return false;
    value = static_cast<std::uint8_t>(number & 0xFF);
    return true;
}

bool ReadListItems(CTextBuffer& text, const char* key, TPooledList<CFixedString255>& list)
{
    std::string value;
    if (!ReadRawListValue(text, key, value)) return false;
    list.Clear();
    std::string_view items(value);
    while (!items.empty()) {
        std::size_t comma = items.find(',');
        std::string_view item = items.substr(0, comma);
        if (!item.empty()) list.Append(CFixedString255(item));
        items.remove_prefix(comma == std::string_view::npos ? items.size() : comma + 1);
    }
    return true;
}

// The first line that starts with the exact key (at the start of the text or
// right after an end mark) and has its end mark.
bool ReadRawListValue(CTextBuffer& text, const char* key, std::string& value)
{
    std::string keyText = KeyWithBlank(key);
    std::string_view all = text.View();
    for (std::size_t at = all.find(keyText); at != std::string_view::npos; at = all.find(keyText, at + 1)) {
        if (at != 0 && !all.substr(0, at).ends_with(kEndMark)) continue;
        std::size_t valueStart = at + keyText.size();
        std::size_t valueEnd = all.find(kEndMark, valueStart);
        if (valueEnd == std::string_view::npos) return false;
        value.assign(all.substr(valueStart, valueEnd - valueStart));
        RestoreProtectedReturns(value);
        text.DeleteRange(static_cast<std::int32_t>(at), static_cast<std::int32_t>(valueEnd + kEndMark.size()) - 1);
        return true;
    }
    return false;
}
