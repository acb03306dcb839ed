// CCookieStore: the cookies of one crawl.
//
// A cookie is known by its path, its name and its domain: the same name set
// by two sites, or for two paths, gives two cookies. "Store order", in which
// requests send cookies and the cookie file lists them, groups cookies by
// path in the order the paths first appeared and, within a path, puts them
// in the order they were set.
//
// Sites cannot make every request heavy: a domain keeps at most
// kMaxCookiesPerDomain cookies and the store kMaxCookies, the least recently
// set going first. Look-ups are hashed, so storing stays linear in the
// cookies set. The store belongs to its crawl and has no lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/cookies/cookie.h"

class CCookieStore {
public:
    static constexpr std::size_t kMaxCookiesPerDomain = 50;
    static constexpr std::size_t kMaxCookies = 3000;

    struct Entry {
        std::string path;
        CCookieList cookies;
    };

    CCookieStore() = default;
    // The indexes point into the store's own nodes, which a move hands over
    // and a copy could not.
    CCookieStore(const CCookieStore&) = delete;
    CCookieStore& operator=(const CCookieStore&) = delete;
    CCookieStore(CCookieStore&&) = default;
    CCookieStore& operator=(CCookieStore&&) = default;

    // Adds a copy unless the store holds the same cookie; true when added.
    bool AddCookie(const CCookie& cookie);
    // Files the cookie of a response, replacing its older self (which it
    // follows in store order from then on).
    void StoreResponseCookie(const CCookie& cookie);

    [[nodiscard]] std::int32_t CountCookies() const;
    [[nodiscard]] bool IsEmpty() const { return mCookies.empty(); }
    // The cookies whose domain holds `host` (host[:port]), in store order.
    // The pointers stay valid until the store next changes.
    std::vector<const CCookie*> CookiesForHost(std::string_view host) const;
    // A copy of the whole store, grouped by path, in store order.
    std::vector<Entry> Entries() const;
    void Clear();

    // The whole store as the cookie file's root array, in store order.
    PlistValue CopyAsArray() const;
    // Adds the cookies of such an array: elements of another shape, cookies
    // whose expiry is not after `now` and repeats of a cookie already held
    // are dropped.
    void AddFromArray(const PlistValue& array, std::int64_t now = CookieClockNow());

private:
    struct Stored {
        CCookie cookie;
        std::string key;
        std::string domainKey;
        std::uint64_t pathOrder = 0;
        std::uint64_t setOrder = 0;
    };
    struct PathUse {
        std::uint64_t order = 0;
        std::size_t count = 0;
    };
    using ByAge = std::map<std::uint64_t, Stored*>;

    void Insert(const CCookie& cookie, std::string key, std::string domainKey);
    void Remove(Stored& stored);
    std::vector<const Stored*> InStoreOrder(std::vector<const Stored*> cookies) const;

    std::unordered_map<std::string, Stored> mCookies;  // by path, name and domain
    std::unordered_map<std::string, ByAge> mByDomain;  // by domain key, oldest first
    ByAge mByAge;                                      // all, oldest first
    std::unordered_map<std::string, PathUse> mPaths;
    std::uint64_t mNextOrder = 0;
};
