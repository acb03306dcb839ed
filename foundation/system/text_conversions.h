// Conversions between the program's text forms. The system encoding is
// UTF-8, so C text and length-prefixed text hold the same bytes; only the
// 255-byte limit of the length-prefixed form cuts, and never inside a UTF-8
// character.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/text/fixed_string.h"

// `pstring` receives at most 255 bytes of `text` behind its length byte; it
// must hold 256 bytes. Null text gives the empty string.
void CStringToPString(const char* text, unsigned char* pstring);

// `text` receives the bytes of `pstring` and a NUL; it must hold 256 bytes.
// Null gives "".
void PStringToCString(const unsigned char* pstring, char* text);

// UTF-8 to UTF-16. A byte that does not start a valid UTF-8 sequence becomes
// U+FFFD, so the length always matches what a reader sees.
std::u16string CStringToUnicode(std::string_view text);

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string UnicodeToCString(std::u16string_view text);

// Signed decimal text of `value`.
inline void NumberToLString(std::int32_t value, CFixedString255& text)
{
    text.AssignNumber(value);
}
