#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/url/url_record.h"
#include "foundation/system/file_name_mappings.h"

namespace {

struct ParseCase {
    std::string url;
    std::int32_t scheme;
    std::string host;
    std::string directory;
    std::vector<std::string> components;
    std::string fileName;
    std::string extension;
    std::string fileWithQuery;
    std::string query;
    std::string dollarPart = "";
    std::string fragment = "";
};

TEST(URLParse, SplitsURLsIntoTheirParts)
{
    const std::string longSegment(5000, 'L');
    const ParseCase cases[] = {
        {"http://h/a/b/c.html?x=1#top", kSchemeHTTP, "h", "a/b", {"a", "b"}, "c.html", ".html", "c.html?x=1", "x=1"},
        {"http://h", kSchemeHTTP, "h", "", {}, "", "", "", ""},
        {"http://h/", kSchemeHTTP, "h", "", {}, "", "", "", ""},
        {"https://h/x", kSchemeHTTPS, "h", "", {}, "x", "", "x", ""},
        {"ftp://h/pub/f.tar.gz", kSchemeFTP, "h", "pub", {"pub"}, "f.tar.gz", ".gz", "f.tar.gz", ""},
        {"gopher://h/x", kSchemeHTTP, "h", "", {}, "x", "", "x", ""},
        {"HTTPS://h/x", kSchemeHTTPS, "h", "", {}, "x", "", "x", ""},
        {"http://h:8080/d/", kSchemeHTTP, "h:8080", "d", {"d"}, "", "", "", ""},
        // Credentials never reach the host, and the host ends at '/', '?' or '#'.
        {"http://user:pw@h/x", kSchemeHTTP, "h", "", {}, "x", "", "x", ""},
        {"http://user:pw@h:8080/a/x", kSchemeHTTP, "h:8080", "a", {"a"}, "x", "", "x", ""},
        {"http://a@b@h/x", kSchemeHTTP, "h", "", {}, "x", "", "x", ""},
        {"http://h?q=1", kSchemeHTTP, "h", "", {}, "", "", "", "q=1"},
        {"http://h?q=a/b/c.html", kSchemeHTTP, "h", "", {}, "", "", "", "q=a/b/c.html"},
        {"http://h?u=x@evil/y", kSchemeHTTP, "h", "", {}, "", "", "", "u=x@evil/y"},
        {"http://h#f", kSchemeHTTP, "h", "", {}, "", "", "", ""},
        {"http://h#a/b#c", kSchemeHTTP, "h", "", {}, "", "", "", "", "", "a/b"},
        {"http://[::1]:8080/d/f.txt", kSchemeHTTP, "[::1]:8080", "d", {"d"}, "f.txt", ".txt", "f.txt", ""},
        // Hostile paths are split as written; the mirror makes them safe.
        {"http://h/a/../b/f", kSchemeHTTP, "h", "a/../b", {"a", "..", "b"}, "f", "", "f", ""},
        {"http://h/%2e%2e/%2E%2E/f", kSchemeHTTP, "h", "%2e%2e/%2E%2E", {"%2e%2e", "%2E%2E"}, "f", "", "f", ""},
        {"http://h/a%2Fb/%00", kSchemeHTTP, "h", "a%2Fb", {"a%2Fb"}, "%00", "", "%00", ""},
        {"http://h//x", kSchemeHTTP, "h", "", {}, "x", "", "x", ""},
        {"http://h/a//b/f", kSchemeHTTP, "h", "a//b", {"a", "b"}, "f", "", "f", ""},
        // Dynamic parts.
        {"http://h/a/p.php$sid=1", kSchemeHTTP, "h", "a", {"a"}, "p.php", ".php", "p.php$sid=1", "", "sid=1"},
        {"http://h/a/p.php?u=/x/y.html", kSchemeHTTP, "h", "a", {"a"}, "p.php", ".php", "p.php?u=/x/y.html",
         "u=/x/y.html"},
        {"http://h/dir/?x=1", kSchemeHTTP, "h", "dir", {"dir"}, "", "", "?x=1", "x=1"},
        // The markers in every order: the stored text ends at the last '#',
        // and each part is cut at the others.
        {"http://h/a#b/c?d", kSchemeHTTP, "h", "", {}, "a", "", "a", ""},
        {"http://h/d/p.cgi?q/r#s$t", kSchemeHTTP, "h", "d", {"d"}, "p.cgi", ".cgi", "p.cgi?q/r", "q/r"},
        {"http://h/d/f$x?y#z", kSchemeHTTP, "h", "d", {"d"}, "f", "", "f$x?y", "", "x"},
        {"http://h/d/f?y$x/z", kSchemeHTTP, "h", "d", {"d"}, "f", "", "f?y$x/z", "y", ""},
        // Nothing is ever cut.
        {"http://h/" + longSegment + "/" + longSegment + ".html", kSchemeHTTP, "h", longSegment, {longSegment},
         longSegment + ".html", ".html", longSegment + ".html", ""},
    };
    for (const ParseCase& c : cases) {
        CURL url(c.url);
        EXPECT_EQ(url.mScheme, c.scheme) << c.url;
        EXPECT_EQ(url.mHost, c.host) << c.url;
        EXPECT_EQ(url.mDirectory, c.directory) << c.url;
        EXPECT_EQ(url.mDirectoryComponents, c.components) << c.url;
        EXPECT_EQ(url.mFileName, c.fileName) << c.url;
        EXPECT_EQ(url.mExtension, c.extension) << c.url;
        EXPECT_EQ(url.mFileWithQuery, c.fileWithQuery) << c.url;
        EXPECT_EQ(url.mQuery, c.query) << c.url;
        EXPECT_EQ(url.mDollarPart, c.dollarPart) << c.url;
        EXPECT_EQ(url.mFragment, c.fragment) << c.url;
    }
    // A record that is set to one URL after another keeps nothing of the
    // earlier ones.
    CURL reused;
    for (const ParseCase& c : cases) {
        reused.SetURL(c.url);
        EXPECT_EQ(reused.mHost, c.host) << c.url;
        EXPECT_EQ(reused.mDirectory, c.directory) << c.url;
        EXPECT_EQ(reused.mDirectoryComponents, c.components) << c.url;
        EXPECT_EQ(reused.mFileName, c.fileName) << c.url;
        EXPECT_EQ(reused.mExtension, c.extension) << c.url;
        EXPECT_EQ(reused.mFileWithQuery, c.fileWithQuery) << c.url;
        EXPECT_EQ(reused.mQuery, c.query) << c.url;
        EXPECT_EQ(reused.mDollarPart, c.dollarPart) << c.url;
        EXPECT_EQ(reused.mFragment, c.fragment) << c.url;
    }
}

TEST(URLParse, StoredTextIsCutAtTheLastHash)
{
    EXPECT_EQ(CURL("http://h/a.html#top").mURL, "http://h/a.html");
    EXPECT_EQ(CURL("http://h/a.html#x#y").mURL, "http://h/a.html#x");
    EXPECT_EQ(CURL("http://h/a.html").mURL, "http://h/a.html");
}

TEST(URLParse, FileTypeComesFromTheExtension)
{
    CURL page("http://h/a/index.html");
    const FileNameMapping* html = FindFileNameMapping(".html");
    ASSERT_NE(html, nullptr);
    EXPECT_EQ(page.mFileType, html->type);
    EXPECT_EQ(page.mFileCreator, html->creator);
    // The table's keys are compared byte for byte: ".HTML" is not ".html".
    for (const char* text : {"http://h/a/noextension", "http://h/", "http://h/a.unknown-extension-xyz",
                             "http://h/a/INDEX.HTML", "http://h/a/photo.Jpg"}) {
        CURL url(text);
        EXPECT_EQ(url.mFileType, 0u) << text;
        EXPECT_EQ(url.mFileCreator, 0u) << text;
    }
}

TEST(URLCompare, SameURLIgnoresQueryFragmentAndDollarPart)
{
    struct Case {
        const char* a;
        const char* b;
        bool same;
    };
    const Case cases[] = {
        {"http://h/a.html", "http://h/a.html", true},
        {"http://h/a.html?x=1", "http://h/a.html?x=2", true},
        {"http://h/a.html#one", "http://h/a.html#two", true},
        {"http://h/a.php$1", "http://h/a.php$2", true},
        {"http://h/a.html", "http://h/A.html", false},
        {"http://h/a.html", "http://H/a.html", false},
        {"http://h/a.html", "http://h/b.html", false},
        {"http://h/a/", "http://h/a", false},
    };
    for (const Case& c : cases) EXPECT_EQ(CURL(c.a).IsSameURL(CURL(c.b)), c.same) << c.a << " vs " << c.b;
}

TEST(URLCompare, IPAddressHosts)
{
    struct Case {
        const char* host;
        bool address;
    };
    const Case cases[] = {
        {"1.2.3.4", true},     {"1.2.3.4:8080", true}, {"127.0.0.1", true},  {"1.2.3", false},
        {"1.2.3.4.5", false},  {"1..3.4", false},      {"1.2.3.", false},    {"a.2.3.4", false},
        {"[::1]:8080", false}, {"", false},            {"1.2.3.4:", true},   {"localhost", false},
    };
    for (const Case& c : cases) EXPECT_EQ(CURL::IsIPAddressHost(c.host), c.address) << c.host;
}

TEST(URLCompare, CookieDomains)
{
    struct Case {
        const char* url;
        const char* domain;
    };
    const Case cases[] = {
        {"http://a.b.c:8080/", "b.c:8080"},
        {"http://www.example.com/x", "example.com"},
        {"http://example.com/", "example.com"},
        {"http://1.2.3.4:8080/", "1.2.3.4:8080"},
        {"http://1.2.3/", "2.3"},
        {"http://localhost:8080/", "localhost:8080"},
        {"http://[::1]:8080/", "[::1]:8080"},
        {"http://www.example.com./", "example.com"},
        {"http://user:pw@www.example.com/", "example.com"},
        {"no-scheme-here", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(CURL(c.url).GetCookieDomain(), c.domain) << c.url;
}

TEST(URLCompare, DynamicParts)
{
    struct Case {
        const char* url;
        bool dynamic;
        const char* query;
        const char* dollar;
    };
    const Case cases[] = {
        {"http://h/a.html", false, "", ""},
        {"http://h/a.php?x=1", true, "x=1", ""},
        {"http://h/a.php$s", true, "", "s"},
        {"http://h/a.php?", false, "", ""},
    };
    for (const Case& c : cases) {
        CURL url(c.url);
        std::string query, dollar;
        EXPECT_EQ(url.IsDynamic(), c.dynamic) << c.url;
        bool hasQuery = url.GetQuery(query);
        bool hasDollar = url.GetDollarPart(dollar);
        EXPECT_EQ(query, c.query) << c.url;
        EXPECT_EQ(hasQuery, !query.empty()) << c.url;
        EXPECT_EQ(dollar, c.dollar) << c.url;
        EXPECT_EQ(hasDollar, !dollar.empty()) << c.url;
    }
}

TEST(URLCompare, MirrorSegmentsSplitHostAndPort)
{
    struct Case {
        const char* url;
        std::vector<std::string> withDirectory;
        std::vector<std::string> hostOnly;
    };
    const Case cases[] = {
        {"http://h/a/b/f", {"h", "a", "b"}, {"h"}},
        {"http://h:8080/a/f", {"h", "8080", "a"}, {"h", "8080"}},
        {"http://[::1]:8080/a/f", {"[::1]", "8080", "a"}, {"[::1]", "8080"}},
        {"http://[::1]/f", {"[::1]"}, {"[::1]"}},
        {"http://user:pw@h:81/f", {"h", "81"}, {"h", "81"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CURL(c.url).MirrorFolderSegments(true), c.withDirectory) << c.url;
        EXPECT_EQ(CURL(c.url).MirrorFolderSegments(false), c.hostOnly) << c.url;
    }
}

}  // namespace
