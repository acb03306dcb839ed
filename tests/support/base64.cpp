#include "tests/support/base64.h"

#include <stdexcept>

namespace testsupport {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int SextetOf(char c)
{
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

}  // namespace

std::string Base64Encode(std::string_view bytes)
{
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        unsigned group = static_cast<unsigned char>(bytes[i]) << 16 |
                         static_cast<unsigned char>(bytes[i + 1]) << 8 |
                         static_cast<unsigned char>(bytes[i + 2]);
        for (int shift = 18; shift >= 0; shift -= 6) text += kAlphabet[(group >> shift) & 63];
    }
    std::size_t rest = bytes.size() - i;
    if (rest > 0) {
        unsigned group = static_cast<unsigned char>(bytes[i]) << 16;
        if (rest == 2) group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        text += kAlphabet[(group >> 18) & 63];
        text += kAlphabet[(group >> 12) & 63];
        text += rest == 2 ? kAlphabet[(group >> 6) & 63] : '=';
        text += '=';
    }
    return text;
}

std::string Base64Decode(std::string_view text)
{
    std::string bytes;
    unsigned group = 0;
    int bits = 0;
    for (char c : text) {
        if (c == '=') break;
        if (c == '\n' || c == '\r') continue;
        int sextet = SextetOf(c);
        if (sextet < 0) throw std::runtime_error("bad base64 character");
        group = (group << 6) | static_cast<unsigned>(sextet);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            bytes += static_cast<char>((group >> bits) & 0xFF);
        }
    }
    return bytes;
}

}  // namespace testsupport
