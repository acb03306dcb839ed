// The on-site test and the visited set.
//
// Hosts are compared in their identity form (lower-cased, without the
// scheme's default port), so "HOST:80" is the start host "host".
#include "engine/config/configuration.h"
#include "engine/crawl/site_domain.h"
#include "engine/crawl/site_iterator.h"
#include "engine/url/url_identity.h"

const std::string& CSiteIterator::SiteOf(const std::string& hostAndPort)
{
    auto found = mSiteByHost.find(hostAndPort);
    if (found == mSiteByHost.end()) found = mSiteByHost.emplace(hostAndPort, SiteDomain(hostAndPort)).first;
    return found->second;
}

bool CSiteIterator::IsStartHost(const CURL& url)
{
    if (mStartHostKey.empty()) mStartHostKey = HostIdentityOf(mStartURL);
    return HostIdentityOf(url) == mStartHostKey;
}

bool CSiteIterator::IsStartSite(const CURL& url)
{
    if (mStartSiteKey.empty()) mStartSiteKey = SiteOf(HostIdentityOf(mStartURL));
    return SiteOf(HostIdentityOf(url)) == mStartSiteKey;
}

// Off-site URLs are grabbed only when the preference and the configuration
// both allow it (the built-in configuration does not).
bool CSiteIterator::GrabsOffsiteURLs() const
{
    return mPreferences.grabOffsiteURLs && mConfiguration->mGeneralOptions.grabOffsiteURLs != 0;
}

bool CSiteIterator::IsOnSite(const CURL& url)
{
    const std::string& host = url.mHost;
    if (mHostsSeenIndex.insert(host).second) mHostsSeen.push_back(host);
    if (mOptions.onePage) return true;
    if (!GrabsOffsiteURLs()) return mPreferences.allowSecondaryDomains ? IsStartSite(url) : IsStartHost(url);
    if (IsStartSite(url) || mAllowedOffsiteHosts.empty()) return true;
    return mAllowedOffsiteHosts.contains(HostIdentityOf(url));
}

void CSiteIterator::MarkVisited(const CURL& url)
{
    mSiteIndex.MarkVisited(url.mURL, url.mDirectoryComponents, url.mTitle);
}
