#include "engine/html/secondary_hosts.h"

#include "engine/html/link_text.h"
#include "engine/html/url_resolution.h"
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
    std::size_t start;
    if (BeginsWithNoCase(link, "http://")) start = 7;
    else if (BeginsWithNoCase(link, "https://")) start = 8;
    else if (link.starts_with("//")) start = 2;
    else return {};
    std::string_view rest = link.substr(start);
    std::string_view authority = rest.substr(0, rest.find_first_of("/?#"));
    return authority.substr(authority.rfind('@') + 1);
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
