#include "engine/cookies/cookie_selection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/cookies/cookie_domain.h"
#include "tests/support/growth_ratio.h"

namespace {

CCookie MakeCookie(std::string name, std::string value, std::string domain, std::string path)
{
    CCookie cookie;
    cookie.mName = std::move(name);
    cookie.mValue = std::move(value);
    cookie.mDomain = std::move(domain);
    cookie.mPath = std::move(path);
    return cookie;
}

// The name=value pairs of the one Cookie line for `host` and the path "/".
std::vector<std::string> CookiePairsSent(const CCookieStore& store, std::string_view host)
{
    const std::vector<std::string> lines = CookieHeaderLinesForRequest(store, host, "/");
    EXPECT_LE(lines.size(), 1u);
    std::vector<std::string> pairs;
    if (lines.empty()) return pairs;
    std::string_view rest = lines.front();
    EXPECT_TRUE(rest.starts_with("Cookie: "));
    rest.remove_prefix(8);
    for (std::size_t end; (end = rest.find("; ")) != std::string_view::npos; rest.remove_prefix(end + 2))
        pairs.emplace_back(rest.substr(0, end));
    pairs.emplace_back(rest);
    return pairs;
}

TEST(CookieSelection, CookiesGoOnlyToTheirDomainAndPath)
{
    struct Case {
        const char* domain;
        const char* path;
        const char* host;
        const char* requestPath;
        bool sent;
    };
    const Case cases[] = {
        {"example.com", "/", "example.com", "/", true},
        {".example.com", "/", "www.example.com", "/a", true},
        {"example.com", "/", "deep.www.example.com", "/", true},
        {"EXAMPLE.com", "/", "Www.example.COM", "/", true},
        {"example.com", "/", "badexample.com", "/", false},
        {"example.com", "/", "example.com.evil.net", "/", false},
        {"www.example.com", "/", "example.com", "/", false},
        {"other.net", "/", "example.com", "/", false},
        {"", "/", "example.com", "/", false},
        {".", "/", "example.com", "/", false},
        // Ports never take part, on either side.
        {"example.com:8080", "/", "example.com", "/", true},
        {"localhost:8080", "/", "localhost:9090", "/", true},
        {"localhost", "/", "localhost:8080", "/", true},
        {"example.com", "/", "example.com:443", "/", true},
        {"8080", "/", "example.com:8080", "/", false},
        // Addresses match only themselves.
        {"127.0.0.1", "/", "127.0.0.1:8080", "/", true},
        {"0.0.1", "/", "127.0.0.1", "/", false},
        {"[::1]:8080", "/", "[::1]:9000", "/", true},
        {"[::1]", "/", "[::2]", "/", false},
        // Path prefixes, ignoring case.
        {"h", "/a/b/", "h", "/a/b", false},
        {"h", "/A", "h", "/a", true},
        {"h", "/a", "h", "/ab", true},
        {"h", "/a/b", "h", "/a", false},
        {"h", "/", "h", "/", true},
    };
    for (const Case& c : cases) {
        CCookieStore store;
        CCookie cookie = MakeCookie("n", "v", c.domain, c.path);
        store.AddCookie(cookie);
        std::vector<std::string> lines = CookieHeaderLinesForRequest(store, c.host, c.requestPath);
        EXPECT_EQ(lines.size(), c.sent ? 1u : 0u)
            << c.domain << c.path << " for " << c.host << c.requestPath;
    }
}

TEST(CookieSelection, OneLineJoinsTheCookiesInStoreOrder)
{
    CCookieStore store;
    for (const CCookie& cookie : {MakeCookie("first", "1", "h.example", "/a"),
                                  MakeCookie("root", "2", "h.example", "/"),
                                  MakeCookie("second", "3", "h.example", "/a"),
                                  MakeCookie("elsewhere", "4", "other.example", "/"),
                                  MakeCookie("split\r\nX-Evil: 1", "v\r\nal\nue", "h.example", "/")})
        store.StoreResponseCookie(cookie);
    EXPECT_EQ(CookieHeaderLinesForRequest(store, "h.example:8080", "/a/b"),
              (std::vector<std::string>{"Cookie: first=1; second=3; root=2; splitX-Evil: 1=value"}));
}

TEST(CookieStore, SameNameInSameDomainReplacesOtherDomainsStay)
{
    CCookieStore store;
    store.StoreResponseCookie(MakeCookie("sid", "a1", "a.example", "/"));
    store.StoreResponseCookie(MakeCookie("sid", "b1", "b.example", "/"));
    store.StoreResponseCookie(MakeCookie("other", "x", "a.example", "/"));
    store.StoreResponseCookie(MakeCookie("sid", "a2", ".A.example:80", "/"));
    store.StoreResponseCookie(MakeCookie("sid", "deep", "a.example", "/deep"));
    EXPECT_EQ(store.CountCookies(), 4);
    const std::vector<CCookieStore::Entry> entries = store.Entries();
    ASSERT_EQ(entries.size(), 2u);
    const CCookieList& root = entries[0].cookies;
    ASSERT_EQ(root.size(), 3u);
    EXPECT_EQ(root[0].mValue, "b1");
    EXPECT_EQ(root[1].mName, "other");
    EXPECT_EQ(root[2].mValue, "a2");
    EXPECT_EQ(CookieHeaderLinesForRequest(store, "a.example", "/"),
              (std::vector<std::string>{"Cookie: other=x; sid=a2"}));

    EXPECT_FALSE(store.AddCookie(MakeCookie("other", "y", "a.example", "/")));
    EXPECT_TRUE(store.AddCookie(MakeCookie("other", "y", "c.example", "/")));
    EXPECT_EQ(store.CountCookies(), 5);
    // Set anew, the only cookie of a path leaves the path in its place.
    store.StoreResponseCookie(MakeCookie("late", "1", "a.example", "/later"));
    store.StoreResponseCookie(MakeCookie("sid", "deeper", "a.example", "/deep"));
    std::vector<std::string> paths;
    for (const CCookieStore::Entry& entry : store.Entries()) paths.push_back(entry.path);
    EXPECT_EQ(paths, (std::vector<std::string>{"/", "/deep", "/later"}));
    store.Clear();
    EXPECT_EQ(store.CountCookies(), 0);
    EXPECT_TRUE(store.Entries().empty());
}

// Each domain keeps its 50 most recently set cookies, the store its 3,000.
TEST(CookieStore, DomainsAndTheStoreKeepTheirNewestCookies)
{
    CCookieStore store;
    for (int i = 0; i < 60; ++i) store.StoreResponseCookie(MakeCookie("c" + std::to_string(i), "v", "h.example", "/"));
    store.StoreResponseCookie(MakeCookie("c10", "again", "h.example", "/"));  // set anew: now the newest
    store.StoreResponseCookie(MakeCookie("c60", "v", "h.example", "/"));
    store.StoreResponseCookie(MakeCookie("c0", "v", "other.example", "/"));
    std::vector<std::string> pairs = CookiePairsSent(store, "h.example");
    ASSERT_EQ(pairs.size(), CCookieStore::kMaxCookiesPerDomain);
    EXPECT_EQ(pairs.front(), "c12=v");  // c0 to c9 and then c11 went first
    EXPECT_EQ(pairs[pairs.size() - 2], "c10=again");
    EXPECT_EQ(pairs.back(), "c60=v");
    EXPECT_EQ(store.CountCookies(), 51);

    // A parent domain is a domain of its own: a host can receive both.
    for (int i = 0; i < 60; ++i) store.StoreResponseCookie(MakeCookie("p" + std::to_string(i), "v", "example", "/"));
    EXPECT_EQ(CookiePairsSent(store, "h.example").size(), 2 * CCookieStore::kMaxCookiesPerDomain);

    store.Clear();
    for (int site = 0; site < 100; ++site)
        for (int i = 0; i < 40; ++i)
            store.AddCookie(MakeCookie("c" + std::to_string(i), "v", "s" + std::to_string(site) + ".example", "/"));
    EXPECT_EQ(store.CountCookies(), static_cast<std::int32_t>(CCookieStore::kMaxCookies));
    EXPECT_TRUE(CookiePairsSent(store, "s24.example").empty());  // the oldest 1,000 went
    EXPECT_EQ(CookiePairsSent(store, "s25.example").size(), 40u);
    EXPECT_EQ(CookiePairsSent(store, "s99.example").size(), 40u);
    EXPECT_EQ(store.Entries().size(), 1u);
}

// Storing and selecting stay linear in the cookies set (a search per cookie
// made 40,000 Set-Cookie lines take seconds).
TEST(CookieStore, StoringCookiesTakesLinearTime)
{
    auto store = [](std::size_t count) {
        CCookieStore cookies;
        for (std::size_t i = 0; i < count; ++i) {
            const std::string n = std::to_string(i);
            cookies.StoreResponseCookie(MakeCookie("c" + n, n, "s" + std::to_string(i / 40) + ".example", "/p" + std::to_string(i % 4)));
        }
        ASSERT_EQ(cookies.CountCookies(), static_cast<std::int32_t>(std::min(count, CCookieStore::kMaxCookies)));
        ASSERT_LE(CookiePairsSent(cookies, "s1.example").size(), 40u);
    };
    EXPECT_LT(testsupport::GrowthRatio(store, 2500, 40000), 64.0);
}

TEST(CookieDomain, HostAndPortSplit)
{
    struct Case {
        const char* text;
        const char* host;
        const char* port;
    };
    const Case cases[] = {
        {"h", "h", ""},           {"h:8080", "h", "8080"},     {"[::1]:8080", "[::1]", "8080"},
        {"[::1]", "[::1]", ""},   {"[::1", "[::1", ""},        {"h:1:2", "h", "1:2"},
        {"", "", ""},             {":80", "", "80"},
    };
    for (const Case& c : cases) {
        std::string_view host, port;
        SplitHostAndPort(c.text, host, port);
        EXPECT_EQ(host, c.host) << c.text;
        EXPECT_EQ(port, c.port) << c.text;
    }
}

}  // namespace
