#include "engine/transfer/auto_redirect.h"

#include "foundation/text/ascii.h"
#include "foundation/text/text_encodings.h"

namespace {

bool IsRedirectStatus(int statusCode)
{
    return statusCode == 301 || statusCode == 302 || statusCode == 303 || statusCode == 307 || statusCode == 308;
}

// "scheme:" at the start: letters, then letters, digits, '+', '-' or '.'.
bool HasScheme(std::string_view url)
{
    if (url.empty() || !IsAsciiAlpha(static_cast<unsigned char>(url[0]))) return false;
    for (std::size_t i = 1; i < url.size(); ++i) {
        const auto c = static_cast<unsigned char>(url[i]);
        if (c == ':') return true;
        if (!IsAsciiAlnum(c) && c != '+' && c != '-' && c != '.') return false;
    }
    return false;
}

// Offset just past the authority ("scheme://host:port"), or npos.
std::size_t AuthorityEnd(std::string_view url)
{
    const std::size_t separator = url.find("://");
    if (separator == std::string_view::npos) return std::string_view::npos;
    const std::size_t end = url.find_first_of("/?#", separator + 3);
    return end == std::string_view::npos ? url.size() : end;
}

}  // namespace

std::string HeaderValue(std::string_view rawHeader, std::string_view name)
{
    std::size_t lineStart = 0;
    while (lineStart < rawHeader.size()) {
        std::size_t lineEnd = rawHeader.find('\n', lineStart);
        if (lineEnd == std::string_view::npos) lineEnd = rawHeader.size();
        const std::string_view line = rawHeader.substr(lineStart, lineEnd - lineStart);
        if (line.size() > name.size() && line[name.size()] == ':' &&
            CompareTextNoCase(line.data(), std::string(name).c_str(), name.size()) == 0) {
            return std::string(TrimAsciiSpace(line.substr(name.size() + 1)));
        }
        lineStart = lineEnd + 1;
    }
    return {};
}

std::string URLOrigin(std::string_view url)
{
    const std::size_t end = AuthorityEnd(url);
    if (end == std::string_view::npos) return {};
    std::string origin(url.substr(0, end));
    for (char& c : origin) c = AsciiLower(c);
    return origin;
}

std::string RedirectTarget(const std::string& requestUrl, int statusCode, std::string_view rawHeader)
{
    if (!IsRedirectStatus(statusCode)) return {};
    const std::string location = HeaderValue(rawHeader, "Location");
    if (location.empty()) return {};
    if (HasScheme(location)) return location;
    const std::size_t authorityEnd = AuthorityEnd(requestUrl);
    if (authorityEnd == std::string::npos) return {};
    if (location.starts_with("//")) return requestUrl.substr(0, requestUrl.find("://") + 1) + location;
    if (location.front() == '/') return requestUrl.substr(0, authorityEnd) + location;
    // Relative to the request's folder: its path up to the last '/'.
    std::string_view path = std::string_view(requestUrl).substr(authorityEnd);
    path = path.substr(0, path.find_first_of("?#"));
    const std::size_t lastSlash = path.rfind('/');
    const std::string folder = lastSlash == std::string_view::npos ? "/" : std::string(path.substr(0, lastSlash + 1));
    if (location.front() == '?' || location.front() == '#') {
        return requestUrl.substr(0, authorityEnd) + std::string(path) + location;
    }
    return requestUrl.substr(0, authorityEnd) + folder + location;
}

bool RedirectKeepsMethod(int statusCode)
{
    return statusCode == 307 || statusCode == 308;
}
