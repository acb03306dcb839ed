#include "engine/url/url_identity.h"

#include "engine/url/uri_reference.h"
#include "engine/url/url_record.h"
#include "foundation/text/text_encodings.h"

namespace {

bool HasUpper(std::string_view text)
{
    for (char c : text)
        if (c >= 'A' && c <= 'Z') return true;
    return false;
}

std::string_view DefaultPort(std::string_view scheme)
{
    std::string lower;
    for (char c : scheme.substr(0, 6)) lower += AsciiLower(c);
    if (scheme.size() > 5) return {};
    if (lower == "http") return "80";
    if (lower == "https") return "443";
    if (lower == "ftp") return "21";
    return {};
}

// Where the port's ':' stands in a host[:port] (an IPv6 literal's colons
// are inside its brackets); npos without a port.
std::size_t PortColon(std::string_view hostAndPort)
{
    const std::size_t colon = hostAndPort.rfind(':');
    if (colon == std::string_view::npos) return colon;
    const std::size_t bracket = hostAndPort.rfind(']');
    if (bracket != std::string_view::npos && bracket > colon) return std::string_view::npos;
    return colon;
}

// The parts of "scheme://[user@]host[:port]rest".
struct CAuthorityParts {
    std::string_view scheme;
    std::string_view userInfo;  // with its '@'
    std::string_view host;      // host[:port]
    std::string_view rest;      // path, query and fragment
};

bool SplitAuthority(std::string_view url, CAuthorityParts& parts)
{
    const CURIReference split = SplitURIReference(url);
    const std::size_t end = AuthorityEnd(split, url);
    if (end == std::string_view::npos) return false;
    parts.scheme = split.scheme;
    const std::string_view host = AuthorityHost(split.authority);
    parts.userInfo = split.authority.substr(0, split.authority.size() - host.size());
    parts.host = host;
    parts.rest = url.substr(end);
    return true;
}

// The host[:port] without a default or empty port; whether it had one.
std::string_view WithoutDefaultPort(std::string_view hostAndPort, std::string_view scheme, bool& dropped)
{
    const std::size_t colon = PortColon(hostAndPort);
    dropped = false;
    if (colon == std::string_view::npos) return hostAndPort;
    const std::string_view port = hostAndPort.substr(colon + 1);
    if (port.empty() || port == DefaultPort(scheme)) {
        dropped = true;
        return hostAndPort.substr(0, colon);
    }
    return hostAndPort;
}

void AppendLower(std::string& out, std::string_view text)
{
    for (char c : text) out += AsciiLower(c);
}

}  // namespace

std::string_view URLIdentity(std::string_view url, std::string& scratch)
{
    CAuthorityParts parts;
    if (!SplitAuthority(url, parts)) return url;
    bool dropped = false;
    const std::string_view host = WithoutDefaultPort(parts.host, parts.scheme, dropped);
    const bool emptyPath = parts.rest.empty() || parts.rest.front() != '/';
    if (!dropped && !emptyPath && !HasUpper(parts.scheme) && !HasUpper(host)) return url;

    scratch.clear();
    scratch.reserve(url.size() + 1);
    AppendLower(scratch, parts.scheme);
    scratch += "://";
    scratch += parts.userInfo;
    AppendLower(scratch, host);
    if (emptyPath) scratch += '/';
    scratch += parts.rest;
    return scratch;
}

std::string URLIdentity(std::string_view url)
{
    std::string scratch;
    return std::string(URLIdentity(url, scratch));
}

std::string URLHostIdentity(std::string_view url)
{
    CAuthorityParts parts;
    if (!SplitAuthority(url, parts)) return {};
    return HostIdentity(parts.host, parts.scheme);
}

std::string HostIdentity(std::string_view hostAndPort, std::string_view scheme)
{
    bool dropped = false;
    std::string out;
    AppendLower(out, WithoutDefaultPort(hostAndPort, scheme, dropped));
    return out;
}

std::string HostIdentityOf(const CURL& url)
{
    const std::string_view scheme = url.mScheme == kSchemeHTTPS ? "https" : url.mScheme == kSchemeFTP ? "ftp" : "http";
    return HostIdentity(url.mHost, scheme);
}

std::string MirrorOwnerKey(std::string_view url)
{
    const std::size_t end = AuthorityEnd(url);
    if (end == std::string_view::npos) return std::string(url);
    std::string key;
    key.reserve(url.size() + 1);
    AppendLower(key, url.substr(0, end));
    if (end == url.size() || url[end] != '/') key += '/';
    key.append(url.substr(end));
    return key;
}
