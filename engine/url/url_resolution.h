// Resolving a link against the URL of the page that holds it, as RFC 3986
// section 5.2 says: the reference is split into its five parts, relative
// paths are merged with the base's path, and dot-segments are removed, so
// "a/../../x" can never climb above the host's root.
//
// A reference is absolute only when it starts with a scheme followed by ':'
// ("/out?u=http://x" stays on the page's site), "//host/x" takes the base's
// scheme, and "?page=2" keeps the base's path.
#pragma once

#include <string>
#include <string_view>

#include "engine/url/uri_reference.h"

// RFC 3986 5.2.4. "%2e" counts as '.', so "%2e%2e" climbs like "..".
std::string RemoveDotSegments(std::string_view path);

// RFC 3986 5.2.2 and 5.3, exactly; the fragment is kept only when asked.
std::string ResolveReference(std::string_view base, std::string_view reference, bool keepFragment);

// The same against a base split before.
std::string ResolveAgainst(const CURIReference& base, std::string_view reference, bool keepFragment);

// The resolver of the crawl, the redirects and the form capture. The link is
// trimmed of blanks and control chars at both ends and loses every TAB, LF
// and CR inside (as browsers read links); the result has no fragment, and
// every byte a request cannot carry as it is (blanks, controls, bytes >=
// 0x7F, '"', '<', '>', '\\', '^', '`', '{', '|', '}', and a '%' that starts no
// %XX escape) is %-escaped. True when the result is a URL the crawl can
// fetch (IsFetchableURL).
[[nodiscard]] bool ResolveRelativeURL(std::string_view baseURL, std::string_view link, std::string& out);

// ResolveRelativeURL against one base for many links: the base is split
// once.
class CURLResolver {
public:
    explicit CURLResolver(std::string_view baseURL);
    CURLResolver(const CURLResolver&) = delete;
    CURLResolver& operator=(const CURLResolver&) = delete;

    [[nodiscard]] bool Resolve(std::string_view link, std::string& out) const;

private:
    std::string mBase;
    CURIReference mParts;  // views into mBase
};

// http, https and ftp, in any letter case.
[[nodiscard]] bool IsFetchableScheme(std::string_view scheme);
// A fetchable scheme followed by "//" and a non-empty host.
[[nodiscard]] bool IsFetchableURL(std::string_view url);
