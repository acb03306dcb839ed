#include "engine/cookies/cookie_selection.h"

#include "foundation/text/ascii.h"
#include "foundation/text/text_encodings.h"

namespace {

// Line breaks or NULs would end the header line early.
void AppendHeaderSafe(std::string& line, std::string_view text)
{
    for (char c : text)
        if (c != '\r' && c != '\n' && c != '\0') line += c;
}

}  // namespace

bool CookiePathMatches(std::string_view cookiePath, std::string_view requestPath)
{
    return BeginsWithNoCase(requestPath, cookiePath);
}

std::vector<std::string> CookieHeaderLinesForRequest(const CCookieStore& store, std::string_view host,
                                                     std::string_view requestPath)
{
    std::string line;
    for (const CCookie* cookie : store.CookiesForHost(host)) {
        if (!CookiePathMatches(cookie->mPath, requestPath)) continue;
        line += line.empty() ? "Cookie: " : "; ";
        AppendHeaderSafe(line, cookie->mName);
        line += '=';
        AppendHeaderSafe(line, cookie->mValue);
    }
    if (line.empty()) return {};
    return {std::move(line)};
}
