// The setting lines of configuration files and their printable summaries.
//
// A setting line is the key, one blank, the value and the end mark, the two
// bytes A5 0D. A list value is its items joined by ",". Reading a key removes
// its whole line from the text, so later reads see only what is left; a key
// is only recognised at the start of the text or right after an end mark.
#pragma once

#include <cstdint>

#include "foundation/text/fixed_string.h"
#include "foundation/containers/pooled_list.h"
#include "foundation/text/text_buffer.h"

inline constexpr char kSettingEndMark[] = "\xA5\x0D";

void WriteSetting(CTextBuffer& out, const char* key, const char* value);
void WriteSetting(CTextBuffer& out, const char* key, const CTextBuffer& value);
void WriteSetting(CTextBuffer& out, const char* key, std::int32_t value);
void WriteListSetting(CTextBuffer& out, const char* key, const TPooledList<CFixedString255>& list);

void DescribeSetting(CTextBuffer& out, const char* key, const char* value);
void DescribeSetting(CTextBuffer& out, const char* key, const CTextBuffer& value);
void DescribeSetting(CTextBuffer& out, const char* key, std::int32_t value);
void DescribeListSetting(CTextBuffer& out, const char* key, const TPooledList<CFixedString255>& list);

// `key` is passed with its trailing blank ("linkDepth "). The key is matched
// ignoring case. Each returns false, with an empty value, when the key or its
// end mark is missing; the text is then unchanged.
[[nodiscard]] bool ReadSetting(CTextBuffer& text, const char* key, CFixedString255& value);
[[nodiscard]] bool ReadSetting(CTextBuffer& text, const char* key, CTextBuffer& value);
// Exact key match, at the start of the text or after A5 0D or `endMark`; the
// value runs to the next `endMark`. On success the list is replaced by the
// non-empty items (each cut at 255 bytes), otherwise it is left as it was.
bool ReadListSetting(CTextBuffer& text, const char* key, const char* endMark, TPooledList<CFixedString255>& list);
