// What a request takes from the window whose crawl it serves: the cookies
// of the running crawl, the site login of the window's configuration and
// the stall time-out. Credentials stay with their site: the site login is
// offered only to the crawl's start host.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CCrawlOwner;

// The header lines of every request of the program, in this order: the
// owner's Cookie line for `url` (OwnerCookieLines), Basic authorization when
// user and password are both given, "Accept: */*", and If-Modified-Since
// when `ifModifiedSince` (Unix seconds) is not 0.
std::vector<std::string> RequestHeaderLines(CCrawlOwner* cookieSource, const std::string& url, std::string_view user,
                                            std::string_view password, std::int64_t ifModifiedSince);

// The "Cookie:" line (no line end) of a request of `url`, when it has one:
// the cookies of the owner's running crawl whose domain and path fit the
// URL, in store order. Empty without an owner, without a running crawl, or when
// the owner's configuration has cookies off.
std::vector<std::string> OwnerCookieLines(CCrawlOwner* owner, const std::string& url);

// True when `host` (host[:port], any case) is the host of the owner's
// running crawl's start URL. False without an owner or a running crawl.
[[nodiscard]] bool IsOwnerStartHost(const CCrawlOwner* owner, std::string_view host);

// The site user name and password of the owner's configuration, for a
// request to `host`: both empty unless `host` is the crawl's start host.
void OwnerSiteLoginFor(const CCrawlOwner* owner, std::string_view host, std::string& user, std::string& password);

// The owner's configured network time-out in seconds, 0 without an owner.
[[nodiscard]] std::int32_t OwnerTimeoutSeconds(const CCrawlOwner* owner);
