#include "foundation/text/fixed_string.h"

#include <algorithm>
#include <string>

#include "foundation/text/text_encodings.h"

namespace fixed_string_detail {

std::size_t Utf8Prefix(const char* text, std::size_t length, std::size_t limit)
{
    if (length <= limit) return length;
    // Back off over continuation bytes so the cut lands before a lead byte.
    std::size_t n = limit;
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
    return n;
}

void Prepend(char* text, std::size_t capacity, const char* prefix)
{
    if (prefix == nullptr || *prefix == '\0') return;
    std::string joined(prefix);
    joined += text;
    std::size_t n = Utf8Prefix(joined.data(), joined.size(), capacity);
    std::memcpy(text, joined.data(), n);
    text[n] = '\0';
}

// Decoding never lengthens a text by more than the entity it replaces, but a
// cut that follows must still respect character boundaries.
static void CutToCapacity(char* text, std::size_t capacity)
{
    std::size_t length = std::strlen(text);
    text[Utf8Prefix(text, length, capacity)] = '\0';
}

void DecodeEntities(char* text, std::size_t capacity)
{
    ::DecodeEntities(text);
    CutToCapacity(text, capacity);
}

void URLDecode(char* text, std::size_t capacity)
{
    std::size_t length = std::strlen(text);
    std::string decoded(length + 1, '\0');
    std::size_t n = ::URLDecode(text, length, decoded.data());
    n = Utf8Prefix(decoded.data(), n, capacity);
    std::memcpy(text, decoded.data(), n);
    text[n] = '\0';
}

void MakeLowercase(char* text)
{
    for (; *text; ++text) *text = AsciiLower(*text);
}

void RemoveNonGraphic(char* text)
{
    // Bytes of UTF-8 characters are kept: they are letters and signs, not
    // blanks or control chars.
    char* out = text;
    for (const char* in = text; *in; ++in) {
        unsigned char c = static_cast<unsigned char>(*in);
        if (c >= 0x80 || IsAsciiAlnum(c) || IsAsciiPunct(c)) *out++ = *in;
    }
    *out = '\0';
}

bool BeginsWith(const char* text, const char* prefix, bool ignoreCase)
{
    if (prefix == nullptr) return true;
    std::size_t n = std::strlen(prefix);
    if (n > std::strlen(text)) return false;
    return ignoreCase ? CompareTextNoCase(text, prefix, n) == 0 : std::memcmp(text, prefix, n) == 0;
}

bool EndsWith(const char* text, const char* suffix, bool ignoreCase)
{
    if (suffix == nullptr) return true;
    std::size_t n = std::strlen(suffix);
    std::size_t length = std::strlen(text);
    if (n > length) return false;
    const char* tail = text + length - n;
    return ignoreCase ? CompareTextNoCase(tail, suffix, n) == 0 : std::memcmp(tail, suffix, n) == 0;
}

void FormatNumber(std::int32_t value, char out[16])
{
    FormatDecimal(out, 16, value);
}

}  // namespace fixed_string_detail

void MatchContainsNoCase(const char* subject, const char* needle, float* score)
{
    if (score == nullptr) return;
    bool found = subject && needle && *subject && *needle && FindTextNoCase(subject, needle) != nullptr;
    *score = found ? 1.0f : 0.0f;
}
