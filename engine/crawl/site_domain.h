// Which site a host belongs to, for the crawl's on-site tests.
//
// Two hosts are the same site when they share a registrable domain by the
// public suffix list: "www.example.co.uk" and "img.example.co.uk" do,
// "example.co.uk" and "other.co.uk" do not, and "a.com" never matches
// "a.company.com". An IP address, a bracketed IPv6 literal, a single-label
// name ("localhost") or a public suffix itself is its own site. The port
// stays part of the site, as it does for the URL record's cookie domain.
#pragma once

#include <string>
#include <string_view>

// The site of a host[:port], lower-cased: the registrable domain followed by
// ":" and the port when one is given.
std::string SiteDomain(std::string_view hostAndPort);
