// Small conversions: hex digits, four-char codes and decimal text.
#include <cstring>

#include "foundation/text/text_encodings.h"

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return 0;
}

void PutBigEndian32(std::uint32_t code, char* out)
{
    out[0] = static_cast<char>(code >> 24);
    out[1] = static_cast<char>(code >> 16);
    out[2] = static_cast<char>(code >> 8);
    out[3] = static_cast<char>(code);
    out[4] = '\0';
}

std::uint32_t GetBigEndian32(const char* text)
{
    std::uint32_t code = 0;
    // Stops at the text's NUL, so a short text reads as if padded with NULs.
    bool ended = text == nullptr;
    for (int i = 0; i < 4; ++i) {
        unsigned char c = ended ? 0 : static_cast<unsigned char>(text[i]);
        ended = ended || c == '\0';
        code = (code << 8) | c;
    }
    return code;
}

void FormatDecimal(char* buffer, std::size_t size, std::int32_t value)
{
    if (buffer == nullptr || size == 0) return;
    char digits[12];
    char* p = digits + sizeof digits;
    // Widened so the lowest value negates without overflow.
    std::int64_t magnitude = value < 0 ? -static_cast<std::int64_t>(value) : value;
    do {
        *--p = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) *--p = '-';
    std::size_t length = static_cast<std::size_t>(digits + sizeof digits - p);
    // A number cut short would read as another number, so one that does not
    // fit is left out.
    if (length >= size) length = 0;
    std::memcpy(buffer, p, length);
    buffer[length] = '\0';
}
