#include "engine/cookies/cookie_domain.h"

#include "engine/cookies/public_suffix.h"
#include "foundation/text/ascii.h"
#include "foundation/text/text_encodings.h"

namespace {

std::string_view NormalDomain(std::string_view domain)
{
    domain = HostWithoutPort(domain);
    if (!domain.empty() && domain.front() == '.') domain.remove_prefix(1);
    return domain;
}

// Dotted digits or a bracketed literal: such hosts have no parent domains.
bool IsAddressLiteral(std::string_view host)
{
    if (!host.empty() && host.front() == '[') return true;
    if (host.empty()) return false;
    for (char c : host)
        if (c != '.' && !IsAsciiDigit(static_cast<unsigned char>(c))) return false;
    return true;
}

}  // namespace

void SplitHostAndPort(std::string_view hostAndPort, std::string_view& host, std::string_view& port)
{
    std::size_t colon;
    if (!hostAndPort.empty() && hostAndPort.front() == '[') {
        std::size_t close = hostAndPort.find(']');
        colon = close == std::string_view::npos ? std::string_view::npos : hostAndPort.find(':', close);
    } else {
        colon = hostAndPort.find(':');
    }
    host = hostAndPort.substr(0, colon);
    port = colon == std::string_view::npos ? std::string_view() : hostAndPort.substr(colon + 1);
}

std::string_view HostWithoutPort(std::string_view hostAndPort)
{
    std::string_view host, port;
    SplitHostAndPort(hostAndPort, host, port);
    return host;
}

bool CookieDomainMatchesHost(std::string_view cookieDomain, std::string_view host)
{
    std::string_view domain = NormalDomain(cookieDomain);
    host = HostWithoutPort(host);
    if (domain.empty() || host.empty()) return false;
    if (EqualsNoCase(domain, host)) return true;
    if (IsAddressLiteral(host) || host.size() <= domain.size()) return false;
    std::size_t dot = host.size() - domain.size() - 1;
    return host[dot] == '.' && EqualsNoCase(host.substr(dot + 1), domain);
}

std::string CookieDomainKey(std::string_view domain)
{
    return AsciiLowercased(NormalDomain(domain));
}

std::vector<std::string> CookieDomainKeysHolding(std::string_view host)
{
    std::vector<std::string> keys;
    std::string key = CookieDomainKey(HostWithoutPort(host));
    if (key.empty()) return keys;
    keys.push_back(key);
    if (IsAddressLiteral(key)) return keys;
    for (std::size_t dot = key.find('.'); dot != std::string::npos; dot = key.find('.', dot + 1))
        if (dot + 1 < key.size()) keys.push_back(key.substr(dot + 1));
    return keys;
}

bool AcceptCookieDomain(std::string_view host, std::string& domain)
{
    const std::string key = CookieDomainKey(domain);
    if (key.empty() || !CookieDomainMatchesHost(key, host)) return false;
    if (IsAddressLiteral(key) || !IsPublicSuffix(key)) return true;
    if (key != CookieDomainKey(host)) return false;
    domain.assign(HostWithoutPort(host));
    return true;
}
