#include <array>
#include <functional>

#include "engine/cookies/cookie.h"
#include "engine/cookies/cookie_domain.h"
#include "foundation/system/http_dates.h"
#include "foundation/text/ascii.h"
#include "foundation/text/text_encodings.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Name and value of a "name=value" piece; the value is everything after the
// first '='.
void SplitPair(std::string_view piece, std::string_view& name, std::string_view& value)
{
    std::size_t equals = piece.find('=');
    name = TrimBlanks(piece.substr(0, equals));
    value = equals == std::string_view::npos ? std::string_view() : piece.substr(equals + 1);
}

// True when the ", " at `comma` belongs to an expiry date: the text before it
// reads "expires=" and a day name, the blanks around '=' allowed.
bool IsCommaOfExpiryDate(std::string_view text, std::size_t comma)
{
    std::size_t at = comma;
    while (at > 0 && IsAsciiAlpha(static_cast<unsigned char>(text[at - 1]))) --at;
    if (at == comma) return false;
    while (at > 0 && IsBlank(text[at - 1])) --at;
    if (at == 0 || text[at - 1] != '=') return false;
    --at;
    while (at > 0 && IsBlank(text[at - 1])) --at;
    static constexpr std::string_view kExpires = "expires";
    return at >= kExpires.size() && EqualsNoCase(text.substr(at - kExpires.size(), kExpires.size()), kExpires);
}

// The single cookie values of a header value that joins several with ", ".
std::vector<std::string_view> SplitJoinedCookies(std::string_view text)
{
    std::vector<std::string_view> values;
    std::size_t start = 0;
    for (std::size_t at = text.find(", "); at != std::string_view::npos; at = text.find(", ", at + 2)) {
        if (IsCommaOfExpiryDate(text, at)) continue;
        values.push_back(text.substr(start, at - start));
        start = at + 2;
    }
    values.push_back(text.substr(start));
    return values;
}

// Longer attribute values are ignored, as browsers do: every cookie of a
// value carries a copy of its attributes, so an unbounded one would make a
// header cost its length for each of its cookies.
constexpr std::size_t kMaxAttributeValue = 1024;

enum class Attribute { kNone, kExpires, kDomain, kPath, kIgnored };

Attribute AttributeNamed(std::string_view name)
{
    if (EqualsNoCase(name, "expires")) return Attribute::kExpires;
    if (EqualsNoCase(name, "domain")) return Attribute::kDomain;
    if (EqualsNoCase(name, "path")) return Attribute::kPath;
    static constexpr std::array<std::string_view, 4> kIgnored = {"secure", "httponly", "max-age", "samesite"};
    for (std::string_view ignored : kIgnored)
        if (EqualsNoCase(name, ignored)) return Attribute::kIgnored;
    return Attribute::kNone;
}

}  // namespace

void CCookie::ParseSetCookieValue(std::string_view defaultDomain, std::string_view defaultPath, std::string_view text)
{
    mDomain.assign(defaultDomain);
    mPath.assign(defaultPath);
    mAttributes.clear();
    bool seenExpires = false, seenDomain = false, seenPath = false;
    for (std::string_view raw : SplitAt(text, ';')) {
        std::string_view piece = TrimBlanks(raw);
        if (piece.empty()) continue;
        std::string_view name, value;
        SplitPair(piece, name, value);
        value = TrimBlanks(value);
        Attribute attribute = AttributeNamed(name);
        if (attribute != Attribute::kNone && value.size() > kMaxAttributeValue) continue;
        switch (attribute) {
        case Attribute::kExpires:
            if (seenExpires) break;
            seenExpires = true;
            mExpires.assign(value);
            if (!ParseDateTimeText(mExpires.c_str(), mExpirySeconds)) mExpirySeconds = CookieClockNow();
            break;
        case Attribute::kDomain:
            if (seenDomain) break;
            seenDomain = true;
            if (!value.empty()) mDomain.assign(value);
            break;
        case Attribute::kPath:
            if (seenPath) break;
            seenPath = true;
            if (!value.empty()) mPath.assign(value);
            break;
        case Attribute::kIgnored:
            break;
        case Attribute::kNone:
            if (!mAttributes.empty()) mAttributes += ';';
            mAttributes.append(piece);
            break;
        }
    }
}

void ParseSetCookieHeader(std::string_view headerValue, std::string_view defaultDomain, std::string_view defaultPath,
                          const std::function<void(CCookie&&)>& each)
{
    for (std::string_view cookieValue : SplitJoinedCookies(headerValue)) {
        CCookie attributes;
        attributes.ParseSetCookieValue(defaultDomain, defaultPath, cookieValue);
        // The pairs are no attribute of the cookies they give: each cookie
        // copies the attributes without them.
        const std::string pairs = std::move(attributes.mAttributes);
        attributes.mAttributes.clear();
        if (pairs.empty()) continue;
        if (attributes.mDomain != defaultDomain && !AcceptCookieDomain(defaultDomain, attributes.mDomain)) continue;
        std::size_t start = 0;
        while (start <= pairs.size()) {
            std::size_t end = pairs.find(';', start);
            if (end == std::string::npos) end = pairs.size();
            std::string_view name, value;
            SplitPair(std::string_view(pairs).substr(start, end - start), name, value);
            CCookie cookie = attributes;
            cookie.mName.assign(name);
            cookie.mValue.assign(value);
            each(std::move(cookie));
            start = end + 1;
        }
    }
}

void ParseSetCookieHeader(std::string_view headerValue, std::string_view defaultDomain, std::string_view defaultPath,
                          CCookieList& outList)
{
    ParseSetCookieHeader(headerValue, defaultDomain, defaultPath,
                         [&outList](CCookie&& cookie) { outList.push_back(std::move(cookie)); });
}
