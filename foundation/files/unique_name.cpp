#include "foundation/files/unique_name.h"

#include <sys/random.h>

#include <cstdint>
#include <cstdio>
#include <random>

namespace {

void FillRandom(unsigned char* bytes, std::size_t count)
{
    std::size_t got = 0;
    while (got < count) {
        ssize_t n = ::getrandom(bytes + got, count - got, 0);
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    if (got < count) {  // no kernel randomness: a seeded engine still keeps names apart
        std::random_device device;
        std::mt19937_64 engine(device());
        for (; got < count; ++got) bytes[got] = static_cast<unsigned char>(engine());
    }
}

}  // namespace

std::string NewUUIDText()
{
    unsigned char b[16];
    FillRandom(b, sizeof b);
    b[6] = static_cast<unsigned char>((b[6] & 0x0F) | 0x40);  // version 4
    b[8] = static_cast<unsigned char>((b[8] & 0x3F) | 0x80);  // RFC 4122 variant
    char text[37];
    std::snprintf(text, sizeof text, "%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X", b[0], b[1],
                  b[2], b[3], b[4], b[5], b[6], b[7], b[8], b[9], b[10], b[11], b[12], b[13], b[14], b[15]);
    return text;
}

std::string_view Utf8PrefixOf(std::string_view text, std::size_t limit)
{
    if (text.size() <= limit) return text;
    std::size_t end = limit;
    // Step back over continuation bytes to the start of the cut character.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return text.substr(0, end);
}

std::string MakeUniqueFileName(std::string_view name)
{
    std::size_t dot = name.rfind('.');
    std::string_view stem = dot == std::string_view::npos ? name : name.substr(0, dot);
    std::string suffix = " - " + NewUUIDText();
    if (dot != std::string_view::npos) {
        std::string_view extension = name.substr(dot + 1);
        suffix += '.';
        suffix.append(Utf8PrefixOf(extension, kFileNameByteLimit - suffix.size()));
    }
    std::string result(Utf8PrefixOf(stem, kFileNameByteLimit - suffix.size()));
    result += suffix;
    return result;
}
