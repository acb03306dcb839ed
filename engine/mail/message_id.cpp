#include "engine/mail/message_id.h"

#include <sys/random.h>
#include <unistd.h>

#include <climits>
#include <cstdint>
#include <random>

#include "foundation/text/text_encodings.h"

namespace {

// Letters, digits and the few marks a dot-atom domain may hold.
bool IsDomainChar(char c)
{
    return IsAsciiAlpha(c) || IsAsciiDigit(c) || c == '-' || c == '.' || c == '_';
}

void RandomBytes(std::uint8_t* bytes, std::size_t count)
{
    std::size_t got = 0;
    while (got < count) {
        const ssize_t n = ::getrandom(bytes + got, count - got, 0);
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    if (got < count) {
        std::random_device device;
        for (std::size_t i = got; i < count; ++i) bytes[i] = static_cast<std::uint8_t>(device());
    }
}

}  // namespace

std::string LocalHostName()
{
    char name[HOST_NAME_MAX + 1] = {};
    std::string host;
    if (::gethostname(name, sizeof name - 1) == 0)
        for (const char* p = name; *p != '\0' && IsDomainChar(*p); ++p) host += *p;
    while (!host.empty() && host.front() == '.') host.erase(0, 1);
    while (!host.empty() && host.back() == '.') host.pop_back();
    return host.empty() ? "localhost" : host;
}

std::string NewUuidHex()
{
    std::uint8_t bytes[16];
    RandomBytes(bytes, sizeof bytes);
    bytes[6] = static_cast<std::uint8_t>((bytes[6] & 0x0F) | 0x40);  // version 4
    bytes[8] = static_cast<std::uint8_t>((bytes[8] & 0x3F) | 0x80);  // RFC 4122 variant
    static constexpr char kHex[] = "0123456789abcdef";
    std::string hex;
    for (std::uint8_t b : bytes) {
        hex += kHex[b >> 4];
        hex += kHex[b & 15];
    }
    return hex;
}

std::string MakeMessageID(std::string_view sender)
{
    std::string id = "<" + NewUuidHex();
    const std::size_t at = sender.rfind('@');
    std::string_view domain = at == std::string_view::npos ? std::string_view() : sender.substr(at + 1);
    if (!domain.empty() && domain.back() == '>') domain.remove_suffix(1);
    bool usable = !domain.empty();
    for (char c : domain) usable = usable && IsDomainChar(c);
    if (usable) id += "@" + std::string(domain);
    else id += "@" + LocalHostName();
    return id + ">";
}
