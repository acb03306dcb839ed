#include "engine/url/url_resolution.h"

#include <gtest/gtest.h>

#include "engine/url/url_identity.h"
#include "engine/url/url_record.h"
#include "foundation/text/ascii.h"

namespace {

struct Case {
    const char* link;
    const char* expected;
};

std::string WithoutFragment(std::string text)
{
    std::size_t hash = text.find('#');
    if (hash != std::string::npos) text.resize(hash);
    return text;
}

// RFC 3986 section 5.4: every normal and abnormal example against its base.
constexpr const char* kRFCBase = "http://a/b/c/d;p?q";
const Case kRFCExamples[] = {
    {"g:h", "g:h"},
    {"g", "http://a/b/c/g"},
    {"./g", "http://a/b/c/g"},
    {"g/", "http://a/b/c/g/"},
    {"/g", "http://a/g"},
    {"//g", "http://g"},
    {"?y", "http://a/b/c/d;p?y"},
    {"g?y", "http://a/b/c/g?y"},
    {"#s", "http://a/b/c/d;p?q#s"},
    {"g#s", "http://a/b/c/g#s"},
    {"g?y#s", "http://a/b/c/g?y#s"},
    {";x", "http://a/b/c/;x"},
    {"g;x", "http://a/b/c/g;x"},
    {"g;x?y#s", "http://a/b/c/g;x?y#s"},
    {"", "http://a/b/c/d;p?q"},
    {".", "http://a/b/c/"},
    {"./", "http://a/b/c/"},
    {"..", "http://a/b/"},
    {"../", "http://a/b/"},
    {"../g", "http://a/b/g"},
    {"../..", "http://a/"},
    {"../../", "http://a/"},
    {"../../g", "http://a/g"},
    // abnormal
    {"../../../g", "http://a/g"},
    {"../../../../g", "http://a/g"},
    {"/./g", "http://a/g"},
    {"/../g", "http://a/g"},
    {"g.", "http://a/b/c/g."},
    {".g", "http://a/b/c/.g"},
    {"g..", "http://a/b/c/g.."},
    {"..g", "http://a/b/c/..g"},
    {"./../g", "http://a/b/g"},
    {"./g/.", "http://a/b/c/g/"},
    {"g/./h", "http://a/b/c/g/h"},
    {"g/../h", "http://a/b/c/h"},
    {"g;x=1/./y", "http://a/b/c/g;x=1/y"},
    {"g;x=1/../y", "http://a/b/c/y"},
    {"g?y/./x", "http://a/b/c/g?y/./x"},
    {"g?y/../x", "http://a/b/c/g?y/../x"},
    {"g#s/./x", "http://a/b/c/g#s/./x"},
    {"g#s/../x", "http://a/b/c/g#s/../x"},
    {"http:g", "http:g"},
};

TEST(UrlResolution, FollowsEveryExampleOfRFC3986)
{
    for (const Case& c : kRFCExamples) {
        EXPECT_EQ(ResolveReference(kRFCBase, c.link, true), c.expected) << c.link;
        // The crawl's resolver gives the same URL without its fragment.
        std::string out;
        (void)ResolveRelativeURL(kRFCBase, c.link, out);
        EXPECT_EQ(out, WithoutFragment(c.expected)) << c.link;
    }
}

TEST(UrlResolution, RemovesDotSegmentsAsTheRFCsOwnExamples)
{
    EXPECT_EQ(RemoveDotSegments("/a/b/c/./../../g"), "/a/g");
    EXPECT_EQ(RemoveDotSegments("mid/content=5/../6"), "mid/6");
    EXPECT_EQ(RemoveDotSegments("/a//b/../c"), "/a//c");
    EXPECT_EQ(RemoveDotSegments("/.."), "/");
    EXPECT_EQ(RemoveDotSegments("/a/b/.."), "/a/");
}

TEST(UrlResolution, ResolvesTheUsualLinkShapesOfAPage)
{
    const char* base = "http://h/a/b/p.html";
    const Case cases[] = {
        {"x.html", "http://h/a/b/x.html"},
        {"/x.html", "http://h/x.html"},
        {"../x.html", "http://h/a/x.html"},
        {"../../../x.html", "http://h/x.html"},
        {"./x.html", "http://h/a/b/x.html"},
        {"//c/x.js", "http://c/x.js"},
        {"https://o/y/z.css", "https://o/y/z.css"},
        {"HTTP://H/x", "HTTP://H/x"},
        {"?page=2", "http://h/a/b/p.html?page=2"},
        {"/out?u=http://x", "http://h/out?u=http://x"},
        {"x.html?a=1#frag", "http://h/a/b/x.html?a=1"},
        {"#top", "http://h/a/b/p.html"},
        {"http://h2/a/../b.html", "http://h2/b.html"},
        {"  x.html\n", "http://h/a/b/x.html"},
        {"x\t.ht\nml", "http://h/a/b/x.html"},
        {"a b.html", "http://h/a/b/a%20b.html"},
        {"caf\xC3\xA9.html", "http://h/a/b/caf%c3%a9.html"},
        // What a request line cannot carry is escaped; escapes stay.
        {"50%.png", "http://h/a/b/50%25.png"},
        {"a%2Fb%zz%4.x", "http://h/a/b/a%2Fb%25zz%254.x"},
        {"{x}|\"y\"^`<z>\\.js", "http://h/a/b/%7bx%7d%7c%22y%22%5e%60%3cz%3e%5c.js"},
    };
    for (const Case& c : cases) {
        std::string out;
        EXPECT_TRUE(ResolveRelativeURL(base, c.link, out)) << c.link;
        EXPECT_EQ(out, c.expected) << c.link;
    }
    std::string out;
    EXPECT_TRUE(ResolveRelativeURL("http://h/a/p.html", "?page=2", out));
    EXPECT_EQ(out, "http://h/a/p.html?page=2");
    EXPECT_TRUE(ResolveRelativeURL("http://h", "x.html", out));
    EXPECT_EQ(out, "http://h/x.html");
    EXPECT_TRUE(ResolveRelativeURL("https://h/a/", "//c/x", out));
    EXPECT_EQ(out, "https://c/x");
}

// An address the resolver gave is final: resolving it again against the
// same base gives itself, also from a base that was never cleaned (a
// start URL as typed), whose dot-segments an empty link used to keep.
TEST(UrlResolution, AResolvedAddressResolvesToItself)
{
    const char* bases[] = {"http://h/a/%2e%2e/b/p.html", "http://h/a/../b/", "http://h/x/./y/%2E./z",
                           "http://h/%00/%2e%2e/2/"};
    const char* links[] = {"", "?page=2", "#top", "x.html", "../x.html", "/r/./s"};
    for (const char* base : bases) {
        for (const char* link : links) {
            std::string once, twice;
            ASSERT_TRUE(ResolveRelativeURL(base, link, once)) << base << " + " << link;
            EXPECT_TRUE(ResolveRelativeURL(base, once, twice)) << once;
            EXPECT_EQ(twice, once) << base << " + " << link;
        }
    }
}

TEST(UrlResolution, HostileLinksNeverClimbAboveTheRootNorLeaveTheWeb)
{
    const char* base = "http://h/a/b/p.html";
    const Case staying[] = {
        {"a/../../../x", "http://h/x"},
        {"../../../../../../etc/passwd", "http://h/etc/passwd"},
        {"%2e%2e/%2e%2e/%2E%2E/x", "http://h/x"},
        {".%2e/x", "http://h/a/x"},
        {"%2e/x", "http://h/a/b/x"},
        {"a%2Fb/c.html", "http://h/a/b/a%2Fb/c.html"},  // an escaped slash separates nothing
        {"..%2F..%2Fx", "http://h/a/b/..%2F..%2Fx"},
        {"/..", "http://h/"},
    };
    for (const Case& c : staying) {
        std::string out;
        EXPECT_TRUE(ResolveRelativeURL(base, c.link, out)) << c.link;
        EXPECT_EQ(out, c.expected) << c.link;
    }
    const char* notFetched[] = {"file:///etc/passwd", "javascript:alert(1)", "JavaScript:void(0)",
                                "data:text/html,<b>x</b>", "tel:+4912345", "mailto:ann@x.com",
                                "about:blank", "//", "http://", "http:g"};
    for (const char* link : notFetched) {
        std::string out;
        EXPECT_FALSE(ResolveRelativeURL(base, link, out)) << link << " -> " << out;
    }
}

TEST(UrlResolution, TellsSchemesFromPathsWithColons)
{
    std::string_view scheme;
    EXPECT_TRUE(HasURIScheme("svn+ssh://x", &scheme));
    EXPECT_EQ(scheme, "svn+ssh");
    EXPECT_FALSE(HasURIScheme("/out?u=http://x"));
    EXPECT_FALSE(HasURIScheme("1abc:x"));
    EXPECT_FALSE(HasURIScheme("a b:c"));
    EXPECT_FALSE(HasURIScheme("noscheme"));
    EXPECT_TRUE(IsFetchableURL("ftp://files.example.com/pub/x.tar"));
    EXPECT_TRUE(IsFetchableURL("http://user:pw@h/x"));
    EXPECT_FALSE(IsFetchableURL("http://user@/x"));
}

}  // namespace

// Every reader of a URL takes its host from the same split: what stands in
// a query, a fragment or the user information never becomes the host, and a
// relative text has none.
TEST(UrlResolution, EveryReaderFindsTheSameHost)
{
    struct Case {
        const char* url;
        const char* host;  // "" for none
        const char* withoutUserInfo;
    };
    const Case cases[] = {
        {"http://h/a", "h", "http://h/a"},
        {"HTTP://U:P@H:81/a?b#c", "H:81", "HTTP://H:81/a?b#c"},
        {"http://a@b@h/x", "h", "http://h/x"},
        {"http://h?u=http://evil/x", "h", "http://h?u=http://evil/x"},
        {"http://h#http://evil/", "h", "http://h#http://evil/"},
        {"http://h/p?u=x@evil", "h", "http://h/p?u=x@evil"},
        {"/out?u=http://evil/x", "", "/out?u=http://evil/x"},
        {"a b://evil/x", "", "a b://evil/x"},
        {"http:/h/x", "", "http:/h/x"},
    };
    for (const Case& c : cases) {
        const CURL record(c.url);
        EXPECT_EQ(record.mHost, c.host) << c.url;
        const std::size_t end = AuthorityEnd(c.url);
        EXPECT_EQ(end == std::string_view::npos, std::string_view(c.host).empty()) << c.url;
        EXPECT_EQ(WithoutUserInfo(c.url), c.withoutUserInfo) << c.url;
        EXPECT_EQ(URLHostIdentity(c.url), AsciiLowercased(c.host)) << c.url;
    }
}
