#include "engine/url/url_identity.h"

#include "engine/url/uri_reference.h"
#include "engine/url/url_record.h"
#include "foundation/text/ascii_chars.h"
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

bool IsUnreserved(unsigned char c) { return IsAsciiAlnum(c) || c == '-' || c == '.' || c == '_' || c == '~'; }

// The escape at `at` ("%" and two hex digits) as the identity form writes
// it: the unreserved char it stands for, or itself with upper-case digits;
// empty when there is no escape there.
std::string_view NormalEscapeAt(std::string_view text, std::size_t at, char (&buffer)[3])
{
    if (at + 2 >= text.size() || text[at] != '%') return {};
    if (!IsAsciiHexDigit(static_cast<unsigned char>(text[at + 1])) ||
        !IsAsciiHexDigit(static_cast<unsigned char>(text[at + 2])))
        return {};
    const auto c = static_cast<unsigned char>(HexDigitValue(text[at + 1]) * 16 + HexDigitValue(text[at + 2]));
    if (IsUnreserved(c)) {
        buffer[0] = static_cast<char>(c);
        return std::string_view(buffer, 1);
    }
    buffer[0] = '%';
    buffer[1] = AsciiUpper(text[at + 1]);
    buffer[2] = AsciiUpper(text[at + 2]);
    return std::string_view(buffer, 3);
}

// Whether some escape of `text` is written otherwise in the identity form.
bool HasEscapeToNormalize(std::string_view text)
{
    char buffer[3];
    for (std::size_t at = text.find('%'); at != std::string_view::npos; at = text.find('%', at + 1)) {
        const std::string_view normal = NormalEscapeAt(text, at, buffer);
        if (!normal.empty() && normal != text.substr(at, 3)) return true;
    }
    return false;
}

void AppendWithNormalEscapes(std::string& out, std::string_view text)
{
    char buffer[3];
    std::size_t copied = 0;
    for (std::size_t at = text.find('%'); at != std::string_view::npos; at = text.find('%', at)) {
        const std::string_view normal = NormalEscapeAt(text, at, buffer);
        if (normal.empty()) {
            ++at;
            continue;
        }
        out.append(text, copied, at - copied);
        out += normal;
        at += 3;
        copied = at;
    }
    out.append(text, copied);
}

// The shape of nearly every link, read in one pass: a lower-case http or
// https URL with a path and no escape, whose authority holds no user
// information, no upper-case letter, no IPv6 literal and no default or empty
// port. Such a URL is its own identity form. False says nothing.
bool IsPlainIdentity(std::string_view url)
{
    std::size_t start = 0;
    std::string_view defaultPort;
    if (url.starts_with("http://")) {
        start = 7;
        defaultPort = "80";
    } else if (url.starts_with("https://")) {
        start = 8;
        defaultPort = "443";
    } else {
        return false;
    }
    std::size_t colon = std::string_view::npos;
    std::size_t end = start;
    for (; end < url.size(); ++end) {
        const char c = url[end];
        if (c == '/' || c == '?' || c == '#') break;
        if (c == '@' || c == '[' || c == '%' || (c >= 'A' && c <= 'Z')) return false;
        if (c == ':') colon = end;
    }
    if (end == start || end == url.size() || url[end] != '/') return false;
    if (colon != std::string_view::npos) {
        const std::string_view port = url.substr(colon + 1, end - colon - 1);
        if (port.empty() || port == defaultPort) return false;
    }
    return url.find('%', end) == std::string_view::npos;
}

}  // namespace

std::string_view URLIdentity(std::string_view url, std::string& scratch)
{
    if (IsPlainIdentity(url)) return url;
    CAuthorityParts parts;
    if (!SplitAuthority(url, parts)) return url;
    bool dropped = false;
    const std::string_view host = WithoutDefaultPort(parts.host, parts.scheme, dropped);
    const bool emptyPath = parts.rest.empty() || parts.rest.front() != '/';
    const bool escapes = HasEscapeToNormalize(parts.rest);
    if (!dropped && !emptyPath && !escapes && !HasUpper(parts.scheme) && !HasUpper(host)) return url;

    scratch.clear();
    scratch.reserve(url.size() + 1);
    AppendLower(scratch, parts.scheme);
    scratch += "://";
    scratch += parts.userInfo;
    AppendLower(scratch, host);
    if (emptyPath) scratch += '/';
    if (escapes) AppendWithNormalEscapes(scratch, parts.rest);
    else scratch += parts.rest;
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
