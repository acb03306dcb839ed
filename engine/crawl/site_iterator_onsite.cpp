// The on-site test and the visited set.
#include "engine/crawl/site_domain.h"
#include "engine/crawl/site_iterator.h"
#include "foundation/text/text_encodings.h"

const std::string& CSiteIterator::SiteOf(const std::string& hostAndPort)
{
    auto found = mSiteByHost.find(hostAndPort);
    if (found == mSiteByHost.end()) found = mSiteByHost.emplace(hostAndPort, SiteDomain(hostAndPort)).first;
    return found->second;
}

bool CSiteIterator::IsOnSite(const CURL& url)
{
    const std::string& host = url.mHost;
    if (mHostsSeenIndex.insert(host).second) mHostsSeen.push_back(host);
    if (mOnePage) return true;
    if (!mPreferences.grabOffsiteURLs) {
        if (!mPreferences.allowSecondaryDomains) return host == mStartHost;
        return SiteOf(host) == mStartDomain;
    }
    if (SiteOf(host) == mStartSiteDomain || mAllowedOffsiteHosts.empty()) return true;
    std::string lower(host);
    for (char& c : lower) c = AsciiLower(c);
    return mAllowedOffsiteHosts.contains(lower);
}

void CSiteIterator::MarkVisited(const CURL& url)
{
    mSiteIndex.MarkVisited(url.mURL, url.mDirectoryComponents, url.mTitle);
}
