// Typed reads of setting lines, shared by the text forms of the configuration
// and of its filter sets. Keys are passed as they are written, without the
// trailing blank. Each read takes the first line of that key, consumes it and
// returns true; when the key is missing it returns false and leaves the value
// (and the text) as they were.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/containers/pooled_list.h"
#include "foundation/text/fixed_string.h"
#include "foundation/text/text_buffer.h"

// A carriage return right after a character whose last UTF-8 byte is A5
// ("å", "¥", many CJK characters) looks like the end mark A5 0D. Before the
// settings are read, the file reader replaces such a return by this byte,
// which valid UTF-8 never holds; the reads below put the return back.
inline constexpr char kProtectedReturn = '\xFF';
void RestoreProtectedReturns(std::string& value);

// The leading decimal number of `text` (after blanks, with a sign), held to
// the 32-bit range; 0 when there is none.
[[nodiscard]] std::int32_t LeadingDecimal(std::string_view text);

// Key matched ignoring case (single values).
[[nodiscard]] bool ReadTextValue(CTextBuffer& text, const char* key, std::string& value);
template <std::size_t N>
bool ReadTextSetting(CTextBuffer& text, const char* key, CFixedString<N>& value)
{
    std::string found;
    if (!ReadTextValue(text, key, found)) return false;
    value.AssignView(found);
    return true;
}
bool ReadTextSetting(CTextBuffer& text, const char* key, CTextBuffer& value);
bool ReadIntegerSetting(CTextBuffer& text, const char* key, std::int32_t& value);
// The low byte of the number.
bool ReadFlagSetting(CTextBuffer& text, const char* key, std::uint8_t& value);

// Key matched exactly (lists). The list is replaced by the non-empty
// ","-separated items.
bool ReadListItems(CTextBuffer& text, const char* key, TPooledList<CFixedString255>& list);
// The whole value of a list line, uncut, for lists whose items are split
// further by the caller.
[[nodiscard]] bool ReadRawListValue(CTextBuffer& text, const char* key, std::string& value);
