#include "engine/html/secondary_hosts.h"

#include "engine/html/link_text.h"
#include "engine/url/url_resolution.h"
#include "foundation/text/ascii.h"
#include "foundation/text/text_encodings.h"

CSecondaryHosts::CSecondaryHosts(const std::vector<std::string>& hostsAndPorts, SavedHostTest isSaved)
    : mIsSaved(std::move(isSaved))
{
    for (const std::string& host : hostsAndPorts)
        if (!host.empty()) mHosts.insert(AsciiLowercased(host));
}

std::string_view CSecondaryHosts::LinkHost(std::string_view link)
{
    const CURIReference parts = SplitURIReference(link);
    if (!parts.hasAuthority) return {};
    if (parts.hasScheme && !EqualsNoCase(parts.scheme, "http") && !EqualsNoCase(parts.scheme, "https")) return {};
    return AuthorityHost(parts.authority);
}

bool CSecondaryHosts::IsRemapped(std::string_view hostAndPort) const
{
    if (hostAndPort.empty() || mHosts.find(AsciiLowercased(hostAndPort)) == mHosts.end()) return false;
    return !mIsSaved || mIsSaved(hostAndPort);
}

bool CSecondaryHosts::Remap(std::string_view link, std::string_view pageURL, int pageFolderDepth,
                            const CMirrorNaming& naming, std::string& out) const
{
    std::string scratch;
    std::string_view normalized = NormalizeLinkText(link, scratch);
    if (!IsRemapped(LinkHost(normalized))) return false;
    std::string url;
    if (!ResolvePageLink(normalized, pageURL, url)) return false;
    out = LinkFromMirrorRoot(EncodedMirrorPath(MirrorLocationForURL(url, naming)), pageFolderDepth);
    std::size_t hash = normalized.find('#');
    if (hash != std::string_view::npos) out += normalized.substr(hash);
    return true;
}
