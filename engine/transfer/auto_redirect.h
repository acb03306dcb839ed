// Redirects that a transfer follows by itself. The crawl follows redirects
// with its own rules; a transfer follows them only when the settings'
// auto-redirect switch is on, and then carries credentials and cookies no
// further than the site they were meant for.
#pragma once

#include <string>
#include <string_view>

inline constexpr int kMaxAutoRedirects = 10;

// The absolute URL that a 301, 302, 303, 307 or 308 response with a
// Location header sends `requestUrl` to; empty for any other response.
std::string RedirectTarget(const std::string& requestUrl, int statusCode, std::string_view rawHeader);

// Where a transfer that follows redirects by itself goes after a whole
// response to `url`: the redirect's target when `enabled` (the settings'
// switch, read when the request started), fewer than kMaxAutoRedirects were
// followed (`ioRedirects`, counted up when one is followed) and the target
// is a URL the program requests; else empty, and the response is the answer.
std::string NextAutoRedirect(bool enabled, int& ioRedirects, const std::string& url, int statusCode,
                             std::string_view rawHeader);

// The value of the first header line named `name` (ASCII case-blind) in a
// raw header block, without surrounding blanks; empty when absent.
std::string HeaderValue(std::string_view rawHeader, std::string_view name);

// Scheme, host and port of a URL, lower-cased: "http://a.b:81".
std::string URLOrigin(std::string_view url);

// True when a redirect keeps a POST a POST (307, 308); other redirects
// fetch the target with GET, as browsers do.
[[nodiscard]] bool RedirectKeepsMethod(int statusCode);
