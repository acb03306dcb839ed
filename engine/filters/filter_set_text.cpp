// The filter set's 23 setting lines, in the order the configuration file
// holds them.
#include "engine/filters/filter_set.h"

#include <string>

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

FilterStringList FileTypeTexts(const TPooledList<OSType>& types)
{
    FilterStringList texts;
    for (OSType type : types) {
        char code[5];
        PutBigEndian32(type, code);
        texts.Append(CFixedString255(code));
    }
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
        for (const CFixedString255& code : codes) fileTypes.Append(GetBigEndian32(code.c_str()));
    }
    Compile();
}
