#include "platform/net/request_checks.h"

#include <curl/curl.h>

#include <cstring>

namespace net::detail {
namespace {

// libcurl's case-blind compare folds ASCII letters only, whatever the
// locale. Both arguments end in a NUL, so the compare never reads past one.
bool BeginsWithNoCase(const std::string& text, const char* prefix)
{
    return curl_strnequal(text.c_str(), prefix, std::strlen(prefix)) != 0;
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool HasAllowedScheme(const std::string& url)
{
    return BeginsWithNoCase(url, "http://") || BeginsWithNoCase(url, "https://") || BeginsWithNoCase(url, "ftp://");
}

// A space or a control byte in a URL would either be refused by libcurl or
// reach the request line raw; the caller escapes URLs before sending them.
bool HasUnsafeUrlByte(std::string_view url)
{
    for (char c : url) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte == 0x7F) return true;
    }
    return false;
}

bool IsUnsafeHeaderLine(std::string_view line)
{
    if (line.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) return true;
    const auto colon = line.find(':');
    return colon == 0 || colon == std::string_view::npos;
}

}  // namespace

bool IsFtpUrl(const std::string& url)
{
    return BeginsWithNoCase(url, "ftp://");
}

bool HasHeaderNamed(const TransferRequest& request, const char* name)
{
    const std::size_t length = std::strlen(name);
    for (const std::string& line : request.headerLines) {
        if (line.size() > length && line[length] == ':' && BeginsWithNoCase(line, name)) return true;
    }
    return false;
}

std::string RequestRefusal(const TransferRequest& request)
{
    if (!HasAllowedScheme(request.url)) return "only http, https and ftp URLs are transferred";
    if (HasUnsafeUrlByte(request.url)) return "the URL holds a space or a control character";
    for (const std::string& line : request.headerLines) {
        if (IsUnsafeHeaderLine(line)) return "a request header line is malformed";
    }
    if (request.method == TransferMethod::kPost && IsFtpUrl(request.url)) return "POST is not possible over ftp";
    return {};
}

int ParseStatusLine(const std::string& headerBlock)
{
    if (!BeginsWithNoCase(headerBlock, "HTTP/")) return 0;
    const std::string_view block = std::string_view(headerBlock).substr(0, headerBlock.find('\n'));
    const auto space = block.find(' ');
    if (space == std::string_view::npos || block.size() < space + 4) return 0;
    const std::string_view digits = block.substr(space + 1, 3);
    if (!IsDigit(digits[0]) || !IsDigit(digits[1]) || !IsDigit(digits[2])) return 0;
    if (block.size() > space + 4 && IsDigit(block[space + 4])) return 0;
    return (digits[0] - '0') * 100 + (digits[1] - '0') * 10 + (digits[2] - '0');
}

}  // namespace net::detail
