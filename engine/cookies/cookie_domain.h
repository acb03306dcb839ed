// Host names as cookie domains compare them: without the port, ignoring
// ASCII case and a leading '.' of the domain.
#pragma once

#include <string_view>

// Splits "host[:port]" into its host and port; a bracketed IPv6 literal
// ("[::1]:8080") keeps its brackets and its colons. `port` is empty when
// none is given.
void SplitHostAndPort(std::string_view hostAndPort, std::string_view& host, std::string_view& port);
std::string_view HostWithoutPort(std::string_view hostAndPort);

// True when `host` lies in the cookie's domain: equal to it, or ending with
// "." + domain. IP-address hosts must equal it. An empty domain matches
// nothing.
bool CookieDomainMatchesHost(std::string_view cookieDomain, std::string_view host);

// True when two cookie domains name the same site (same rules, both ways).
bool IsSameCookieDomain(std::string_view a, std::string_view b);
