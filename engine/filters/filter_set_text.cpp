// The filter set's 23 setting lines, in the order the configuration file
// holds them.
#include "engine/filters/filter_set.h"

#include <string>
#include <string_view>

#include "engine/filters/setting_values.h"
#include "foundation/text/key_value_lines.h"
#include "foundation/text/text_encodings.h"

namespace {

struct StringListKey {
    const char* key;
    FilterStringList CFilterSet::*list;
};

constexpr StringListKey kStringLists[] = {
    {"filenameContains", &CFilterSet::filenameContains},
    {"filenameBeginsWith", &CFilterSet::filenameBeginsWith},
    {"filenameEndsWith", &CFilterSet::filenameEndsWith},
    {"suffixIs", &CFilterSet::suffixIs},
    {"mimeContains", &CFilterSet::mimeContains},
    {"pathContains", &CFilterSet::pathContains},
    {"pathBeginsWith", &CFilterSet::pathBeginsWith},
    {"pathEndsWith", &CFilterSet::pathEndsWith},
    {"filenameDoesNotContain", &CFilterSet::filenameDoesNotContain},
    {"filenameDoesNotBeginWith", &CFilterSet::filenameDoesNotBeginWith},
    {"filenameDoesNotEndWith", &CFilterSet::filenameDoesNotEndWith},
    {"suffixIsNot", &CFilterSet::suffixIsNot},
    {"mimeDoesNotContain", &CFilterSet::mimeDoesNotContain},
    {"pathDoesNotContain", &CFilterSet::pathDoesNotContain},
    {"pathDoesNotBeginWith", &CFilterSet::pathDoesNotBeginWith},
    {"pathDoesNotEndWith", &CFilterSet::pathDoesNotEndWith},
};

// Length of the well-formed UTF-8 character at the start of `bytes`; 0 when
// none starts there.
std::size_t Utf8CharLength(std::string_view bytes)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) return 1;
    std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    if (lead < 0xC2 || lead > 0xF4 || bytes.size() < length) return 0;
    // The second byte's range rules out overlong forms, surrogates and code
    // points beyond U+10FFFF.
    const unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
    const unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
    if (byte(1) < low || byte(1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
    return length;
}

// A code is four bytes, which need not be whole characters. Bytes that are
// not part of a whole printable character, and the list's ',' and the
// escape's '%', are written as %XX so the line stays UTF-8 and splits where
// it should; trailing NULs are left off, as a C string would.
std::string FileTypeText(OSType type)
{
    char code[5];
    PutBigEndian32(type, code);
    std::string_view bytes(code, 4);
    while (!bytes.empty() && bytes.back() == '\0') bytes.remove_suffix(1);
    if (bytes.empty()) return "%00";  // an empty item would be dropped on reading
    std::string text;
    while (!bytes.empty()) {
        std::size_t length = Utf8CharLength(bytes);
        const unsigned char c = static_cast<unsigned char>(bytes[0]);
        if (length == 0 || (length == 1 && (c < 0x20 || c == 0x7F || c == ',' || c == '%'))) {
            static constexpr char kHex[] = "0123456789ABCDEF";
            text += '%';
            text += kHex[c >> 4];
            text += kHex[c & 0xF];
            length = 1;
        } else {
            text.append(bytes.substr(0, length));
        }
        bytes.remove_prefix(length);
    }
    return text;
}

// The code of an item: %XX escapes decoded, then the first four bytes,
// padded with NULs. A '%' without two hex digits after it stands for itself.
OSType FileTypeFromText(std::string_view text)
{
    std::string bytes;
    for (std::size_t at = 0; at < text.size() && bytes.size() < 4; ++at) {
        if (text[at] == '%' && at + 2 < text.size() && IsAsciiHexDigit(static_cast<unsigned char>(text[at + 1])) &&
            IsAsciiHexDigit(static_cast<unsigned char>(text[at + 2]))) {
            bytes += static_cast<char>(HexDigitValue(text[at + 1]) * 16 + HexDigitValue(text[at + 2]));
            at += 2;
        } else {
            bytes += text[at];
        }
    }
    bytes.resize(4, '\0');
    OSType type = 0;
    for (char c : bytes) type = (type << 8) | static_cast<unsigned char>(c);
    return type;
}

FilterStringList FileTypeTexts(const TPooledList<OSType>& types)
{
    FilterStringList texts;
    for (OSType type : types) texts.Append(CFixedString255(FileTypeText(type)));
    return texts;
}

// An empty value means "not set".
void ReadSize(CTextBuffer& text, const char* key, std::int32_t& size)
{
    std::string value;
    if (!ReadTextValue(text, key, value)) return;
    size = value.empty() ? CFilterSet::kSizeNotSet : LeadingDecimal(value);
}

}  // namespace

void CFilterSet::Write(CTextBuffer& out) const
{
    for (const StringListKey& entry : kStringLists) WriteListSetting(out, entry.key, this->*entry.list);
    WriteSetting(out, "sizeLessThan", sizeLessThan);
    WriteSetting(out, "sizeGreaterThan", sizeGreaterThan);
    WriteSetting(out, "afterDate", afterDate.c_str());
    WriteSetting(out, "beforeDate", beforeDate.c_str());
    WriteSetting(out, "pathToScript", pathToScript.c_str());
    WriteListSetting(out, "contentQuery", contentQuery);
    WriteListSetting(out, "fileTypes", FileTypeTexts(fileTypes));
}

void CFilterSet::Describe(CTextBuffer& out) const
{
    for (const StringListKey& entry : kStringLists) DescribeListSetting(out, entry.key, this->*entry.list);
    DescribeSetting(out, "sizeLessThan", sizeLessThan);
    DescribeSetting(out, "sizeGreaterThan", sizeGreaterThan);
    DescribeSetting(out, "afterDate", afterDate.c_str());
    DescribeSetting(out, "beforeDate", beforeDate.c_str());
    DescribeSetting(out, "pathToScript", pathToScript.c_str());
    DescribeListSetting(out, "contentQuery", contentQuery);
    DescribeListSetting(out, "fileTypes", FileTypeTexts(fileTypes));
}

void CFilterSet::Read(CTextBuffer& text)
{
    for (const StringListKey& entry : kStringLists) ReadListItems(text, entry.key, this->*entry.list);
    ReadSize(text, "sizeLessThan", sizeLessThan);
    ReadSize(text, "sizeGreaterThan", sizeGreaterThan);
    ReadTextSetting(text, "afterDate", afterDate);
    ReadTextSetting(text, "beforeDate", beforeDate);
    ReadTextSetting(text, "pathToScript", pathToScript);
    ReadListItems(text, "contentQuery", contentQuery);
    FilterStringList codes;
    if (ReadListItems(text, "fileTypes", codes)) {
        fileTypes.Clear();
        for (const CFixedString255& code : codes) fileTypes.Append(FileTypeFromText(code.View()));
    }
    Compile();
}
