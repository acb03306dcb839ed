// Which cookies of a crawl go with a request.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/cookies/cookie_store.h"

// True when the request path begins, ignoring ASCII case, with the cookie's
// path ("/a" covers "/a/b" and "/ab", "/a/b/" does not cover "/a/b").
[[nodiscard]] bool CookiePathMatches(std::string_view cookiePath, std::string_view requestPath);

// The one "Cookie:" line (no line end) of a request, or none: the
// name=value pairs, joined by "; ", of every cookie of the store whose
// domain holds `host` (host[:port]) and whose path covers `requestPath`
// ("/" + the request URL's directory), in store order. Expiry is not
// consulted: a crawl keeps its session cookies to its end.
std::vector<std::string> CookieHeaderLinesForRequest(const CCookieStore& store, std::string_view host,
                                                     std::string_view requestPath);
