// CCookie: one cookie of a crawl, and the parsing of "Set-Cookie" values.
//
// Times are Unix seconds; the cookie file stores them 1904-based
// (cookie_file.h). A cookie's domain keeps it with its site: it is sent
// only to hosts in that domain (cookie_selection.h).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/plist/plist_value.h"

class CCookie {
public:
    // Every text empty but mExpires, which holds the current time as an
    // HTTP date; mExpirySeconds is the current time.
    CCookie();

    // Reads the attributes of one cookie value into this record: Expires,
    // Domain (`defaultDomain` when absent or empty) and Path (`defaultPath`
    // likewise); Secure, HttpOnly, Max-Age and SameSite are dropped. Attribute
    // names match in any case, with or without blanks after the ';'.
    // mAttributes receives the remaining name=value pieces joined by ';'. The
    // name and value are not set here (ParseSetCookieHeader splits the pieces).
    void ParseSetCookieValue(std::string_view defaultDomain, std::string_view defaultPath, std::string_view text);

    // The six items of the cookie file: name, value, domain, path, expires
    // text and the expiry as 1904-based seconds (a 64-bit integer).
    PlistValue CopyAsArray() const;
    // Fills the record from such an array. False, the record unchanged, when
    // the element is not an array of five strings and an integer. CR, LF and
    // NUL are stripped from the name and the value.
    [[nodiscard]] bool SetFromArray(const PlistValue& array);

    std::string mName;
    std::string mValue;
    std::string mDomain;
    std::string mPath;
    std::string mExpires;
    std::int64_t mExpirySeconds = 0;
    std::string mAttributes;
};

using CCookieList = std::vector<CCookie>;

// Appends every cookie of one "Set-Cookie" header value to `outList`, in
// order. The value may hold several cookies joined by ", "; a ", " right
// after "expires=" and a day name ("expires=Wed, 09 Jun ...") does not split.
// Each cookie value yields one cookie per name=value piece left after its
// attributes; a cookie's value is everything after the first '=' of its
// piece, and leading blanks are trimmed from names. Blank pieces give nothing.
// `defaultDomain` is the host that set the cookies (without its port): a
// cookie whose Domain attribute that host may not name (AcceptCookieDomain)
// is dropped. An Expires, Domain or Path value longer than 1,024 bytes is
// ignored. The work is linear in the header, however many cookies it holds.
void ParseSetCookieHeader(std::string_view headerValue, std::string_view defaultDomain, std::string_view defaultPath,
                          CCookieList& outList);
// The same, handing each cookie over as it is parsed.
void ParseSetCookieHeader(std::string_view headerValue, std::string_view defaultDomain, std::string_view defaultPath,
                          const std::function<void(CCookie&&)>& each);

// The current time in Unix seconds.
[[nodiscard]] std::int64_t CookieClockNow();
