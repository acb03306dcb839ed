#include "engine/cookies/cookie_store.h"

#include <algorithm>

#include "engine/cookies/cookie_domain.h"

bool IsSameCookie(const CCookie& a, const CCookie& b)
{
    return a.mName == b.mName && IsSameCookieDomain(a.mDomain, b.mDomain);
}

void ReplaceCookie(CCookieList& list, const CCookie& cookie)
{
    auto same = std::find_if(list.begin(), list.end(), [&](const CCookie& c) { return IsSameCookie(c, cookie); });
    if (same != list.end()) list.erase(same);
    list.push_back(cookie);
}

CCookieList& CCookieStore::FindOrAddHost(std::string_view path)
{
    auto found = mIndexByPath.find(path);
    if (found != mIndexByPath.end()) return mEntries[found->second].cookies;
    mIndexByPath.emplace(std::string(path), mEntries.size());
    mEntries.push_back(Entry{std::string(path), {}});
    return mEntries.back().cookies;
}

bool CCookieStore::AddCookie(CCookieList& list, const CCookie& cookie)
{
    for (const CCookie& present : list)
        if (IsSameCookie(present, cookie)) return false;
    list.push_back(cookie);
    return true;
}

std::int32_t CCookieStore::CountCookies() const
{
    std::size_t count = 0;
    for (const Entry& entry : mEntries) count += entry.cookies.size();
    return static_cast<std::int32_t>(std::min<std::size_t>(count, INT32_MAX));
}

void CCookieStore::Clear()
{
    mIndexByPath.clear();
    mEntries.clear();
}

PlistValue CCookieStore::CopyAsArray() const
{
    PlistValue array = PlistValue::MakeArray();
    for (const Entry& entry : mEntries)
        for (const CCookie& cookie : entry.cookies) array.Append(cookie.CopyAsArray());
    return array;
}

void CCookieStore::AddFromArray(const PlistValue& array, std::int64_t now)
{
    if (!array.IsArray()) return;
    for (const PlistValue& element : array.Items()) {
        CCookie cookie;
        if (!cookie.SetFromArray(element) || cookie.mExpirySeconds <= now) continue;
        AddCookie(FindOrAddHost(cookie.mPath), cookie);
    }
}
