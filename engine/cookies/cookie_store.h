// CCookieStore: the cookies of one crawl, filed by cookie path in the order
// the paths first appeared.
//
// A cookie is known by its name and its domain: the same name set by two
// sites gives two cookies. The store belongs to its crawl and has no lock.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <string_view>

#include "engine/cookies/cookie.h"

// The same cookie: equal names (exact) in the same domain.
bool IsSameCookie(const CCookie& a, const CCookie& b);

// Removes the first cookie of the list that is the same cookie, then appends
// a copy (a response replaces what it set before).
void ReplaceCookie(CCookieList& list, const CCookie& cookie);

class CCookieStore {
public:
    struct Entry {
        std::string path;
        CCookieList cookies;
    };

    // The list for a cookie path, made empty when missing. The reference
    // stays valid as long as the store.
    CCookieList& FindOrAddHost(std::string_view path);
    // Appends a copy unless the list holds the same cookie; true when added.
    bool AddCookie(CCookieList& list, const CCookie& cookie);
    // Files the cookie of a response under its path, replacing its older self.
    void StoreResponseCookie(const CCookie& cookie) { ReplaceCookie(FindOrAddHost(cookie.mPath), cookie); }

    std::int32_t CountCookies() const;
    // Entries in the order their paths first appeared.
    const std::deque<Entry>& Entries() const { return mEntries; }
    void Clear();

    // The whole store as the cookie file's root array: entries in order,
    // cookies of each in list order.
    PlistValue CopyAsArray() const;
    // Adds the cookies of such an array: elements of another shape, cookies
    // whose expiry is not after `now` and repeats of a cookie already in its
    // list are dropped.
    void AddFromArray(const PlistValue& array, std::int64_t now = CookieClockNow());

private:
    std::deque<Entry> mEntries;
    std::map<std::string, std::size_t, std::less<>> mIndexByPath;
};
