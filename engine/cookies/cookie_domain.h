// Host names as cookie domains compare them: without the port, ignoring
// ASCII case and a leading '.' of the domain.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Splits "host[:port]" into its host and port; a bracketed IPv6 literal
// ("[::1]:8080") keeps its brackets and its colons. `port` is empty when
// none is given.
void SplitHostAndPort(std::string_view hostAndPort, std::string_view& host, std::string_view& port);
std::string_view HostWithoutPort(std::string_view hostAndPort);

// True when `host` lies in the cookie's domain: equal to it, or ending with
// "." + domain. IP-address hosts must equal it. An empty domain matches
// nothing.
[[nodiscard]] bool CookieDomainMatchesHost(std::string_view cookieDomain, std::string_view host);

// The form a store files a domain under: without port and leading '.',
// ASCII lower case. Same domains give the same key.
std::string CookieDomainKey(std::string_view domain);

// The keys of every domain that holds `host` (host[:port]): the host itself
// and, unless it is an address, each parent name ("a.b.c": "a.b.c", "b.c",
// "c"). Empty for an empty host.
std::vector<std::string> CookieDomainKeysHolding(std::string_view host);

// Whether a cookie that `host` (without port) set with the Domain attribute
// `domain` may be kept: the host must lie in the domain, and the domain must
// not be a public suffix unless it is the host itself (the cookie then
// stays with that host, `domain` becoming `host`). An address sets cookies
// only for itself.
[[nodiscard]] bool AcceptCookieDomain(std::string_view host, std::string& domain);
