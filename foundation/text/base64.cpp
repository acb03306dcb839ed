#include "foundation/text/base64.h"

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

}  // namespace

std::string EncodeBase64(std::string_view bytes)
{
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const unsigned value = static_cast<unsigned char>(bytes[i]) << 16 |
                               static_cast<unsigned char>(bytes[i + 1]) << 8 |
                               static_cast<unsigned char>(bytes[i + 2]);
        out += kAlphabet[value >> 18 & 63];
        out += kAlphabet[value >> 12 & 63];
        out += kAlphabet[value >> 6 & 63];
        out += kAlphabet[value & 63];
    }
    const std::size_t rest = bytes.size() - i;
    if (rest > 0) {
        unsigned value = static_cast<unsigned char>(bytes[i]) << 16;
        if (rest == 2) value |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        out += kAlphabet[value >> 18 & 63];
        out += kAlphabet[value >> 12 & 63];
        out += rest == 2 ? kAlphabet[value >> 6 & 63] : '=';
        out += '=';
    }
    return out;
}

std::string EncodeBase64Lines(std::string_view bytes, std::size_t lineLength)
{
    const std::string encoded = EncodeBase64(bytes);
    if (encoded.empty()) return encoded;
    if (lineLength == 0) return encoded + "\r\n";
    std::string out;
    out.reserve(encoded.size() + (encoded.size() / lineLength + 1) * 2);
    for (std::size_t at = 0; at < encoded.size(); at += lineLength) {
        out.append(encoded, at, lineLength);
        out += "\r\n";
    }
    return out;
}
