#include "engine/crawl/site_domain.h"

#include "engine/cookies/cookie_domain.h"
#include "engine/cookies/public_suffix.h"
#include "engine/url/url_record.h"
#include "foundation/text/ascii.h"
#include "foundation/text/text_encodings.h"

namespace {

std::string RegistrableDomain(const std::string& host)
{
    if (host.empty() || host.front() == '[' || CURL::IsIPAddressHost(host)) return host;
    if (host.find('.') == std::string::npos) return host;
    const psl_ctx_t* list = PublicSuffixList();
    if (list == nullptr) return host;
    const char* domain = psl_registrable_domain(list, host.c_str());
    return domain != nullptr ? std::string(domain) : host;
}

}  // namespace

std::string SiteDomain(std::string_view hostAndPort)
{
    std::string_view host;
    std::string_view port;
    SplitHostAndPort(hostAndPort, host, port);
    std::string lower = AsciiLowercased(host);
    while (!lower.empty() && lower.back() == '.') lower.pop_back();
    std::string site = RegistrableDomain(lower);
    if (!port.empty()) {
        site += ':';
        site += port;
    }
    return site;
}
