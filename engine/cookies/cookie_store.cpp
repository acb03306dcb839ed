#include "engine/cookies/cookie_store.h"

#include <algorithm>
#include <climits>

#include "engine/cookies/cookie_domain.h"

namespace {

// Path, name and domain, each behind its length, so that no two cookies
// share a key whatever bytes their texts hold.
std::string CookieKey(const CCookie& cookie, const std::string& domainKey)
{
    std::string key;
    for (const std::string* part : {&cookie.mPath, &cookie.mName, &domainKey}) {
        key += std::to_string(part->size());
        key += ':';
        key += *part;
    }
    return key;
}

}  // namespace

bool CCookieStore::AddCookie(const CCookie& cookie)
{
    std::string domainKey = CookieDomainKey(cookie.mDomain);
    std::string key = CookieKey(cookie, domainKey);
    if (mCookies.contains(key)) return false;
    Insert(cookie, std::move(key), std::move(domainKey));
    return true;
}

void CCookieStore::StoreResponseCookie(const CCookie& cookie)
{
    std::string domainKey = CookieDomainKey(cookie.mDomain);
    std::string key = CookieKey(cookie, domainKey);
    auto older = mCookies.find(key);
    if (older == mCookies.end()) {
        Insert(cookie, std::move(key), std::move(domainKey));
        return;
    }
    // In place: its path keeps its place in store order, the cookie becomes
    // the newest of its path and domain.
    Stored& stored = older->second;
    ByAge& domain = mByDomain[stored.domainKey];
    mByAge.erase(stored.setOrder);
    domain.erase(stored.setOrder);
    stored.cookie = cookie;
    stored.setOrder = mNextOrder++;
    mByAge.emplace(stored.setOrder, &stored);
    domain.emplace(stored.setOrder, &stored);
}

void CCookieStore::Insert(const CCookie& cookie, std::string key, std::string domainKey)
{
    PathUse& path = mPaths.try_emplace(cookie.mPath, PathUse{mNextOrder, 0}).first->second;
    ++path.count;
    const std::uint64_t order = mNextOrder++;
    Stored& stored = mCookies.try_emplace(key, Stored{cookie, key, std::move(domainKey), path.order, order}).first->second;
    mByAge.emplace(order, &stored);
    ByAge& domain = mByDomain[stored.domainKey];
    domain.emplace(order, &stored);

    if (domain.size() > kMaxCookiesPerDomain) Remove(*domain.begin()->second);
    if (mCookies.size() > kMaxCookies) Remove(*mByAge.begin()->second);
}

void CCookieStore::Remove(Stored& stored)
{
    mByAge.erase(stored.setOrder);
    if (auto domain = mByDomain.find(stored.domainKey); domain != mByDomain.end()) {
        domain->second.erase(stored.setOrder);
        if (domain->second.empty()) mByDomain.erase(domain);
    }
    if (auto path = mPaths.find(stored.cookie.mPath); path != mPaths.end() && --path->second.count == 0)
        mPaths.erase(path);
    const std::string key = std::move(stored.key);  // not a reference into the node it erases
    mCookies.erase(key);
}

std::vector<const CCookieStore::Stored*> CCookieStore::InStoreOrder(std::vector<const Stored*> cookies) const
{
    std::sort(cookies.begin(), cookies.end(), [](const Stored* a, const Stored* b) {
        return a->pathOrder != b->pathOrder ? a->pathOrder < b->pathOrder : a->setOrder < b->setOrder;
    });
    return cookies;
}

std::vector<const CCookie*> CCookieStore::CookiesForHost(std::string_view host) const
{
    std::vector<const Stored*> found;
    for (const std::string& key : CookieDomainKeysHolding(host)) {
        auto domain = mByDomain.find(key);
        if (domain == mByDomain.end()) continue;
        for (const auto& entry : domain->second) found.push_back(entry.second);
    }
    std::vector<const CCookie*> cookies;
    cookies.reserve(found.size());
    for (const Stored* stored : InStoreOrder(std::move(found))) cookies.push_back(&stored->cookie);
    return cookies;
}

std::vector<CCookieStore::Entry> CCookieStore::Entries() const
{
    std::vector<const Stored*> all;
    all.reserve(mByAge.size());
    for (const auto& entry : mByAge) all.push_back(entry.second);
    std::vector<Entry> entries;
    for (const Stored* stored : InStoreOrder(std::move(all))) {
        if (entries.empty() || entries.back().path != stored->cookie.mPath)
            entries.push_back(Entry{stored->cookie.mPath, {}});
        entries.back().cookies.push_back(stored->cookie);
    }
    return entries;
}

std::int32_t CCookieStore::CountCookies() const
{
    return static_cast<std::int32_t>(std::min<std::size_t>(mCookies.size(), INT32_MAX));
}

void CCookieStore::Clear()
{
    mByAge.clear();
    mByDomain.clear();
    mPaths.clear();
    mCookies.clear();
}

PlistValue CCookieStore::CopyAsArray() const
{
    PlistValue array = PlistValue::MakeArray();
    for (const Entry& entry : Entries())
        for (const CCookie& cookie : entry.cookies) array.Append(cookie.CopyAsArray());
    return array;
}

void CCookieStore::AddFromArray(const PlistValue& array, std::int64_t now)
{
    if (!array.IsArray()) return;
    for (const PlistValue& element : array.Items()) {
        CCookie cookie;
        if (!cookie.SetFromArray(element) || cookie.mExpirySeconds <= now) continue;
        AddCookie(cookie);
    }
}
