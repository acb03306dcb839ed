// Which texts name the same URL. The scheme and the host are case-blind, a
// default port or an empty path change nothing, and an escape's hex digits
// are case-blind and an escaped unreserved char is that char (RFC 3986
// 6.2.2.1, 6.2.2.2 and 6.2.3), so "HTTP://Host:80/%7eann" and
// "http://host/~ann" are one URL to the crawl: one visit, one file, one
// relinked path. Only the crawl's keys use this form; requests are sent as
// the links write them.
#pragma once

#include <string>
#include <string_view>

// The identity form of an absolute URL: scheme and host lower-cased, the
// scheme's default port (http 80, https 443, ftp 21) and an empty port
// dropped, an empty path written "/". In path, query and fragment an escape
// of a letter, a digit, '-', '.', '_' or '~' becomes that char and the hex
// digits of every other escape are upper-cased ("%2b" is "%2B", never '+');
// user information and all else stay as written. A text without
// "scheme://" is returned as it is.
// The result is `url` itself when it is already in that form (the usual
// case, no copy), else it lives in `scratch`.
std::string_view URLIdentity(std::string_view url, std::string& scratch);
std::string URLIdentity(std::string_view url);

// The host[:port] of an absolute URL in identity form ("" without one).
std::string URLHostIdentity(std::string_view url);
// The same for a host[:port] reached over `scheme` ("http", "https",
// "ftp"; any case).
std::string HostIdentity(std::string_view hostAndPort, std::string_view scheme);

class CURL;
// The host[:port] of a URL record in identity form.
std::string HostIdentityOf(const CURL& url);

// A URL as the owner of a mirror file: scheme, user info and host in lower
// case and an empty path written "/", so "HTTP://Example.com" and
// "http://example.com/" own the same file. Distinct file names are digests
// of it, so it must not change: a later crawl finds its files by them.
std::string MirrorOwnerKey(std::string_view url);
