#include "foundation/mirror/mirror_names.h"

namespace {

// Length of the valid UTF-8 character at the start of `text`, or 0.
std::size_t Utf8CharLength(std::string_view text)
{
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char lead = byte(0);
    if (lead < 0x80) return 1;
    std::size_t length;
    unsigned char low = 0x80, high = 0xBF;  // bounds of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;   // no overlong forms
        if (lead == 0xED) high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;  // nothing past U+10FFFF
    } else
        return 0;
    if (text.size() < length) return 0;
    if (byte(1) < low || byte(1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i)
        if ((byte(i) & 0xC0) != 0x80) return 0;
    return length;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

void AppendEscape(std::string& out, unsigned char c)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    out += '%';
    out += kHex[c >> 4];
    out += kHex[c & 0x0F];
}

}  // namespace

std::string SafeMirrorName(std::string_view name)
{
    if (name == ".") return "%2E";
    if (name == "..") return "%2E%2E";
    std::string out;
    std::string piece;
    for (std::size_t at = 0; at < name.size();) {
        unsigned char c = static_cast<unsigned char>(name[at]);
        piece.clear();
        std::size_t length = (c == '/' || c == '\0') ? 0 : Utf8CharLength(name.substr(at));
        if (length == 0) {
            AppendEscape(piece, c);
            at += 1;
        } else {
            piece.assign(name.substr(at, length));
            at += length;
        }
        if (out.size() + piece.size() > kMirrorNameByteLimit) break;
        out += piece;
    }
    return out;
}

std::string MirrorNameFromSegment(std::string_view segment)
{
    std::string decoded;
    decoded.reserve(segment.size());
    for (std::size_t at = 0; at < segment.size(); ++at) {
        int high = at + 2 < segment.size() && segment[at] == '%' ? HexValue(segment[at + 1]) : -1;
        int low = high >= 0 ? HexValue(segment[at + 2]) : -1;
        if (low >= 0) {
            decoded += static_cast<char>(high * 16 + low);
            at += 2;
        } else {
            decoded += segment[at];
        }
    }
    return SafeMirrorName(decoded);
}
