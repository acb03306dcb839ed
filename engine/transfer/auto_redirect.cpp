#include "engine/transfer/auto_redirect.h"

#include "engine/http/location_value.h"
#include "engine/transfer/transfer_environment.h"
#include "engine/url/url_resolution.h"
#include "foundation/text/ascii.h"

namespace {

bool IsRedirectStatus(int statusCode)
{
    return statusCode == 301 || statusCode == 302 || statusCode == 303 || statusCode == 307 || statusCode == 308;
}

}  // namespace

std::string HeaderValue(std::string_view rawHeader, std::string_view name)
{
    std::size_t lineStart = 0;
    while (lineStart < rawHeader.size()) {
        std::size_t lineEnd = rawHeader.find('\n', lineStart);
        if (lineEnd == std::string_view::npos) lineEnd = rawHeader.size();
        const std::string_view line = rawHeader.substr(lineStart, lineEnd - lineStart);
        if (line.size() > name.size() && line[name.size()] == ':' && BeginsWithNoCase(line, name)) {
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
    return AsciiLowercased(url.substr(0, end));
}

std::string RedirectTarget(const std::string& requestUrl, int statusCode, std::string_view rawHeader)
{
    if (!IsRedirectStatus(statusCode)) return {};
    const std::string location = CleanLocationValue(HeaderValue(rawHeader, "Location"));
    if (location.empty()) return {};
    if (HasURIScheme(location)) return location;
    if (AuthorityEnd(requestUrl) == std::string_view::npos) return {};
    return ResolveReference(requestUrl, location, true);
}

std::string NextAutoRedirect(bool enabled, int& ioRedirects, const std::string& url, int statusCode,
                             std::string_view rawHeader)
{
    if (!enabled || ioRedirects >= kMaxAutoRedirects) return {};
    std::string target = RedirectTarget(url, statusCode, rawHeader);
    if (target.empty() || !IsTransferableURL(target)) return {};
    ++ioRedirects;
    return target;
}

bool RedirectKeepsMethod(int statusCode)
{
    return statusCode == 307 || statusCode == 308;
}
