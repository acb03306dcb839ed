#include <gtest/gtest.h>

#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "engine/cookies/cookie.h"
#include "tests/support/growth_ratio.h"

namespace {

constexpr std::int64_t kNow = -1;  // "the time of parsing"

struct Expected {
    std::string name;
    std::string value;
    std::string path;
    std::int64_t expiry;
    std::string domain = "site.example";
};

struct ParseCase {
    const char* what;
    std::string header;
    std::vector<Expected> cookies;
};

TEST(CookieParse, SetCookieValuesGiveTheirCookies)
{
    const ParseCase cases[] = {
        {"two joined cookies, the first with a protected expiry",
         "a=1; expires=Wed, 09 Jun 2021 10:18:14 GMT; path=/, b=2",
         {{"a", "1", "/", 1623233894}, {"b", "2", "/dir", kNow}}},
        {"attributes without blanks", "a=1;Secure;HttpOnly;path=/x", {{"a", "1", "/x", kNow}}},
        {"attributes after blanks never become cookies", "a=1; Secure; path=/x", {{"a", "1", "/x", kNow}}},
        {"every known attribute in odd case", "a=1; MAX-AGE=60; SameSite=Lax; HTTPONLY; secure; Expires=Thu, 01 Jan 2099 00:00:00 GMT; DOMAIN=.site.example; Path=/p",
         {{"a", "1", "/p", 4070908800, ".site.example"}}},
        {"blanks around attribute names and values", "a=1;  path = /q ;\tdomain =  .SITE.example ",
         {{"a", "1", "/q", kNow, ".SITE.example"}}},
        {"value runs past further '='", "k=v=w", {{"k", "v=w", "/dir", kNow}}},
        {"base64 padding stays", "t=YWJj==; path=/", {{"t", "YWJj==", "/", kNow}}},
        {"leading blanks leave the name", "   lead=1", {{"lead", "1", "/dir", kNow}}},
        {"pieces without '=' are empty cookies", "x", {{"x", "", "/dir", kNow}}},
        {"blank pieces give nothing", "a=1; ; ", {{"a", "1", "/dir", kNow}}},
        {"several pairs in one value", "a=1;b=2", {{"a", "1", "/dir", kNow}, {"b", "2", "/dir", kNow}}},
        {"a long day name is protected too",
         "a=1; expires=Thursday, 01-Jan-2099 00:00:00 GMT, b=2",
         {{"a", "1", "/dir", 4070908800}, {"b", "2", "/dir", kNow}}},
        {"each joined cookie has its own attributes", "a=1, b=2; path=/b, c=3",
         {{"a", "1", "/dir", kNow}, {"b", "2", "/b", kNow}, {"c", "3", "/dir", kNow}}},
        {"an empty path or domain takes the default", "a=1; path=; domain=", {{"a", "1", "/dir", kNow}}},
        {"an expiry past 2040", "a=1; expires=Mon, 01 Jan 2100 00:00:00 GMT", {{"a", "1", "/dir", 4102444800}}},
        {"an overlong path is ignored", "a=1; path=/" + std::string(1024, 'p'), {{"a", "1", "/dir", kNow}}},
        {"a path of the longest length stays", "a=1; path=" + std::string(1024, 'p'),
         {{"a", "1", std::string(1024, 'p'), kNow}}},
        {"nothing at all", "", {}},
    };
    for (const ParseCase& c : cases) {
        std::int64_t before = std::time(nullptr);
        CCookieList cookies;
        ParseSetCookieHeader(c.header, "site.example", "/dir", cookies);
        std::int64_t after = std::time(nullptr);
        ASSERT_EQ(cookies.size(), c.cookies.size()) << c.what;
        for (std::size_t i = 0; i < cookies.size(); ++i) {
            const Expected& e = c.cookies[i];
            EXPECT_EQ(cookies[i].mName, e.name) << c.what << " #" << i;
            EXPECT_EQ(cookies[i].mValue, e.value) << c.what << " #" << i;
            EXPECT_EQ(cookies[i].mPath, e.path) << c.what << " #" << i;
            EXPECT_EQ(cookies[i].mDomain, e.domain) << c.what << " #" << i;
            if (e.expiry == kNow) {
                EXPECT_GE(cookies[i].mExpirySeconds, before) << c.what << " #" << i;
                EXPECT_LE(cookies[i].mExpirySeconds, after) << c.what << " #" << i;
            } else {
                EXPECT_EQ(cookies[i].mExpirySeconds, e.expiry) << c.what << " #" << i;
            }
        }
    }
}

// A host may name itself or a parent domain that is not a public suffix;
// an address names only itself.
TEST(CookieParse, ADomainTheSettingHostMayNotNameDropsTheCookie)
{
    struct Case {
        const char* host;
        const char* domain;
        const char* kept;  // the cookie's domain, or null when dropped
    };
    const Case cases[] = {
        {"127.0.0.1", "localhost", nullptr},
        {"127.0.0.1", "127.0.0.2", nullptr},
        {"127.0.0.1", "0.0.1", nullptr},
        {"127.0.0.1", ".0.0.1", nullptr},
        {"127.0.0.1", "127.0.0.1", "127.0.0.1"},
        {"[::1]", "[::1]", "[::1]"},
        {"www.example.com", "example.com", "example.com"},
        {"www.Example.COM", ".EXAMPLE.com", ".EXAMPLE.com"},
        {"www.example.com", "www.example.com", "www.example.com"},
        {"www.example.com", "other.com", nullptr},
        {"www.example.com", "ample.com", nullptr},
        {"www.example.com", "sub.www.example.com", nullptr},
        {"www.example.com", "com", nullptr},
        {"www.example.com", ".", nullptr},
        {"shop.example.co.uk", "co.uk", nullptr},
        {"shop.example.co.uk", "example.co.uk", "example.co.uk"},
        {"ann.github.io", "github.io", nullptr},
        // A public suffix that is the host itself keeps the cookie to the host.
        {"github.io", "github.io", "github.io"},
        {"localhost", ".localhost", "localhost"},
        {"a.localhost", "localhost", nullptr},
    };
    for (const Case& c : cases) {
        CCookieList cookies;
        ParseSetCookieHeader(std::string("a=1; Domain=") + c.domain + ", b=2", c.host, "/", cookies);
        ASSERT_FALSE(cookies.empty()) << c.host << " " << c.domain;
        EXPECT_EQ(cookies.back().mName, "b");  // the next cookie of the header stays
        EXPECT_EQ(cookies.back().mDomain, c.host);
        if (c.kept == nullptr) {
            EXPECT_EQ(cookies.size(), 1u) << c.host << " may not name " << c.domain;
        } else {
            ASSERT_EQ(cookies.size(), 2u) << c.host << " may name " << c.domain;
            EXPECT_EQ(cookies[0].mDomain, c.kept) << c.host;
        }
    }
}

TEST(CookieParse, ExpiresTextIsKeptAsWrittenOrIsNow)
{
    CCookieList dated;
    ParseSetCookieHeader("a=1; expires=Wed, 09 Jun 2021 10:18:14 GMT", "h", "/", dated);
    ASSERT_EQ(dated.size(), 1u);
    EXPECT_EQ(dated[0].mExpires, "Wed, 09 Jun 2021 10:18:14 GMT");

    CCookieList garbage;
    std::int64_t before = std::time(nullptr);
    ParseSetCookieHeader("a=1; expires=garbage", "h", "/", garbage);
    ASSERT_EQ(garbage.size(), 1u);
    EXPECT_EQ(garbage[0].mExpires, "garbage");
    EXPECT_GE(garbage[0].mExpirySeconds, before);

    CCookie fresh;
    EXPECT_NE(fresh.mExpires.find(" GMT"), std::string::npos);  // the current time as an HTTP date
    EXPECT_GE(fresh.mExpirySeconds, before);
}

// A header holding many cookies costs memory and time in proportion to its
// length: each cookie holds its own name and value and bounded attributes,
// never the header's other pieces. Measured as bytes handed out for a
// header and for one four times as long, and as processor time.
TEST(CookieParse, ParsingIsLinearInTheHeader)
{
    const struct {
        const char* what;
        std::function<std::string(std::size_t)> header;
    } shapes[] = {
        {"one value of many pieces", [](std::size_t n) {
             std::string header = "a=b";
             for (std::size_t i = 0; i < n; ++i) header += ";x";
             return header;
         }},
        {"many pieces and a long path", [](std::size_t n) {
             std::string header;
             for (std::size_t i = 0; i < n; ++i) header += "x;";
             return header + "path=/" + std::string(2 * n, 'p');
         }},
        {"many joined cookies", [](std::size_t n) {
             std::string header = "a=1";
             for (std::size_t i = 0; i < n; ++i) header += ", b=2; expires=Wed, 09 Jun 2021 10:18:14 GMT";
             return header;
         }},
    };
    constexpr std::size_t kSmall = 10000;
    for (const auto& shape : shapes) {
        auto bytesHeld = [&](std::size_t n) {
            std::size_t bytes = 0, cookies = 0;
            ParseSetCookieHeader(shape.header(n), "site.example", "/dir", [&](CCookie&& cookie) {
                ++cookies;
                for (const std::string* text : {&cookie.mName, &cookie.mValue, &cookie.mDomain, &cookie.mPath,
                                                &cookie.mExpires, &cookie.mAttributes})
                    bytes += text->size();
            });
            EXPECT_GE(cookies, n) << shape.what;
            return static_cast<double>(bytes);
        };
        EXPECT_LT(bytesHeld(4 * kSmall) / bytesHeld(kSmall), 4.5) << shape.what;
        // The cookies are dropped as they come: a list of them would measure
        // the system's paging of fresh memory, not the parser.
        auto parse = [&](std::size_t n) {
            std::size_t cookies = 0;
            ParseSetCookieHeader(shape.header(n), "site.example", "/dir", [&cookies](CCookie&&) { ++cookies; });
        };
        // Linear work grows eight times (more while the system pages in the
        // larger header's memory); copying the header into each cookie,
        // some sixty-four.
        EXPECT_LT(testsupport::GrowthRatio(parse, kSmall / 4, 2 * kSmall), 32.0) << shape.what;
    }
}

}  // namespace
