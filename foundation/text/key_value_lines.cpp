// Setting lines: "key value" + A5 0D, and their printable descriptions.
#include "foundation/text/key_value_lines.h"

#include <string_view>

#include "foundation/text/text_encodings.h"

namespace {

constexpr std::string_view kEndMark(kSettingEndMark, sizeof kSettingEndMark - 1);

const char* OrEmpty(const char* text) { return text ? text : ""; }

void AppendJoined(CTextBuffer& out, const TPooledList<CFixedString255>& list)
{
    bool first = true;
    for (const CFixedString255& item : list) {
        if (!first) out.Append(',');
        out.Append(item.View());
        first = false;
    }
}

void BeginSetting(CTextBuffer& out, const char* key)
{
    out.Append(OrEmpty(key));
    out.Append(' ');
}

void BeginDescription(CTextBuffer& out, const char* key)
{
    out.Append("\t\t");
    out.Append(OrEmpty(key));
    out.Append(" : ");
}

// Where a setting line may begin: at the start of the text or right after
// the end mark of the line before.
bool StartsLine(std::string_view text, std::size_t at, std::string_view endMark)
{
    std::string_view before = text.substr(0, at);
    return at == 0 || before.ends_with(kEndMark) || (!endMark.empty() && before.ends_with(endMark));
}

struct SettingLine {
    std::size_t start = 0;       // first char of the key
    std::size_t valueStart = 0;  // first char after the key
    std::size_t valueEnd = 0;    // first char of the end mark
    std::size_t end = 0;         // first char after the end mark
};

// The first line whose key is `key` and that has its end mark. Occurrences
// of the key inside another line's value are never taken for the key.
bool FindSettingLine(std::string_view text, std::string_view key, std::string_view endMark, bool ignoreCase,
                     SettingLine& line)
{
    if (key.empty() || endMark.empty()) return false;
    std::size_t at = 0;
    for (;;) {
        at = ignoreCase ? FindTextNoCase(text, key, at) : text.find(key, at);
        if (at == std::string_view::npos) return false;
        if (StartsLine(text, at, endMark)) break;
        ++at;
    }
    std::size_t valueStart = at + key.size();
    std::size_t valueEnd = text.find(endMark, valueStart);
    if (valueEnd == std::string_view::npos) return false;
    line = {at, valueStart, valueEnd, valueEnd + endMark.size()};
    return true;
}

std::string_view ValueOf(std::string_view text, const SettingLine& line)
{
    return text.substr(line.valueStart, line.valueEnd - line.valueStart);
}

void RemoveLine(CTextBuffer& text, const SettingLine& line)
{
    text.DeleteRange(static_cast<std::int32_t>(line.start), static_cast<std::int32_t>(line.end) - 1);
}

}  // namespace

void WriteSetting(CTextBuffer& out, const char* key, const char* value)
{
    BeginSetting(out, key);
    out.Append(OrEmpty(value));
    out.Append(kSettingEndMark);
}

void WriteSetting(CTextBuffer& out, const char* key, const CTextBuffer& value)
{
    BeginSetting(out, key);
    out.Append(value.View());
    out.Append(kSettingEndMark);
}

void WriteSetting(CTextBuffer& out, const char* key, std::int32_t value)
{
    BeginSetting(out, key);
    out.AppendNumber(value);
    out.Append(kSettingEndMark);
}

void WriteListSetting(CTextBuffer& out, const char* key, const TPooledList<CFixedString255>& list)
{
    BeginSetting(out, key);
    AppendJoined(out, list);
    out.Append(kSettingEndMark);
}

void DescribeSetting(CTextBuffer& out, const char* key, const char* value)
{
    BeginDescription(out, key);
    out.Append(OrEmpty(value));
    out.Append("\r\r");
}

void DescribeSetting(CTextBuffer& out, const char* key, const CTextBuffer& value)
{
    BeginDescription(out, key);
    out.Append(value.View());
    out.Append("\r\r");
}

void DescribeSetting(CTextBuffer& out, const char* key, std::int32_t value)
{
    BeginDescription(out, key);
    out.AppendNumber(value);
    out.Append("\r\r");
}

void DescribeListSetting(CTextBuffer& out, const char* key, const TPooledList<CFixedString255>& list)
{
    BeginDescription(out, key);
    AppendJoined(out, list);
    out.Append("\r\r");
}

bool ReadSetting(CTextBuffer& text, const char* key, CFixedString255& value)
{
    SettingLine line;
    std::string_view all = text.View();
    if (!FindSettingLine(all, OrEmpty(key), kEndMark, true, line)) {
        value.Assign("");
        return false;
    }
    value.AssignView(ValueOf(all, line));
    RemoveLine(text, line);
    return true;
}

bool ReadSetting(CTextBuffer& text, const char* key, CTextBuffer& value)
{
    SettingLine line;
    std::string_view all = text.View();
    if (!FindSettingLine(all, OrEmpty(key), kEndMark, true, line)) {
        value.Assign(std::string_view());
        return false;
    }
    value.Assign(ValueOf(all, line));
    RemoveLine(text, line);
    return true;
}

bool ReadListSetting(CTextBuffer& text, const char* key, const char* endMark, TPooledList<CFixedString255>& list)
{
    SettingLine line;
    std::string_view all = text.View();
    if (!FindSettingLine(all, OrEmpty(key), OrEmpty(endMark), false, line)) return false;

    list.Clear();
    std::string_view items = ValueOf(all, line);
    while (!items.empty()) {
        std::size_t comma = items.find(',');
        std::string_view item = items.substr(0, comma);
        if (!item.empty()) list.Append(CFixedString255(item));
        items.remove_prefix(comma == std::string_view::npos ? items.size() : comma + 1);
    }
    RemoveLine(text, line);
    return true;
}
