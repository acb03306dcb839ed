#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "engine/cookies/cookie_selection.h"
#include "engine/http/response_header.h"
#include "engine/url/url_cookies.h"
#include "engine/url/url_record.h"
#include "engine/url/url_type_extension.h"
#include "tests/support/recording_listener.h"

namespace {

std::vector<std::string> CookieNames(const CCookieStore& store)
{
    std::vector<std::string> names;
    for (const auto& entry : store.Entries())
        for (const CCookie& cookie : entry.cookies) names.push_back(entry.path + " " + cookie.mName + "=" + cookie.mValue);
    return names;
}

TEST(URLHeaders, ResponseFieldsReplaceThoseOfTheLastResponse)
{
    CURL url("http://h/a/page.html");
    url.ReadResponseHeaders("HTTP/1.1 100 Continue\r\n\r\n"
                            "HTTP/1.1 301 Moved Permanently\r\nLocation: http://h/b/\r\nContent-Length: 3221225472\r\n"
                            "Last-Modified: Sun, 06 Nov 1994 08:49:37 GMT\r\nDate: Mon, 07 Dec 2026 09:05:03 GMT\r\n"
                            "Content-Type: text/html; charset=utf-8\r\n"
                            "WWW-Authenticate: Basic realm=\"Members\"\r\n\r\n");
    EXPECT_EQ(url.mStatusCode, 301);
    EXPECT_EQ(url.mStatusLine.str(), "HTTP/1.1 301 Moved Permanently");
    EXPECT_EQ(url.mLocation, "http://h/b/");
    EXPECT_EQ(url.mContentLength, "3221225472");
    ASSERT_TRUE(url.ContentLengthBytes().has_value());
    EXPECT_EQ(*url.ContentLengthBytes(), 3221225472u);
    EXPECT_EQ(url.mModificationSeconds, 784111777);
    EXPECT_EQ(url.mDate, "Mon, 07 Dec 2026 09:05:03 GMT");
    EXPECT_EQ(url.mContentType, "text/html; charset=utf-8");
    EXPECT_EQ(url.mRealm, "Members");

    std::int64_t before = std::time(nullptr);
    url.ReadResponseHeaders("HTTP/1.1 200 OK\nContent-Type: image/png\n\n");
    EXPECT_EQ(url.mStatusCode, 200);
    EXPECT_EQ(url.mLocation, "");
    EXPECT_EQ(url.mRealm, "");
    EXPECT_EQ(url.mLastModified, "");
    EXPECT_GE(url.mModificationSeconds, before);
    EXPECT_EQ(url.mContentType, "image/png");
    EXPECT_FALSE(url.ContentLengthBytes().has_value());
}

TEST(URLHeaders, RawHeadersLeaveTheStatusToTheTransfer)
{
    CURL url("http://h/");
    url.mStatusCode = 404;
    url.mRawHeader = "HTTP/1.1 200 OK\r\nLocation: /moved\r\nLocation: /second\r\n\r\n";
    url.ParseRawHeaders();
    EXPECT_EQ(url.mStatusCode, 404);
    EXPECT_EQ(url.mLocation, "/moved");
}

TEST(URLHeaders, SetCookiesGoToTheRunningCrawlOfTheOwner)
{
    testsupport::CTestCrawlOwner grabber;
    CURL url("http://www.site.example:8080/shop/cart/view.html");
    url.mGrabOwner = &grabber;
    url.mRawHeader = "HTTP/1.1 200 OK\r\nSet-Cookie: a=1\r\nSet-Cookie: b=2; Path=/\r\n"
                     "Set-Cookie: c=3; Domain=.site.example; Secure; HttpOnly\r\n\r\n";
    url.ParseRawHeaders();
    EXPECT_EQ(CookieNames(grabber.cookies),
              (std::vector<std::string>{"/shop/cart a=1", "/shop/cart c=3", "/ b=2"}));
    const CCookie a = grabber.cookies.Entries()[0].cookies[0];
    EXPECT_EQ(a.mDomain, "www.site.example");  // the host that set it, without the port

    url.mRawHeader = "HTTP/1.1 200 OK\r\nSet-Cookie: a=changed\r\n\r\n";
    url.ParseRawHeaders();
    EXPECT_EQ(CookieNames(grabber.cookies),
              (std::vector<std::string>{"/shop/cart c=3", "/shop/cart a=changed", "/ b=2"}));

    EXPECT_EQ(CookieHeaderLinesForURL(grabber.cookies, url),
              (std::vector<std::string>{"Cookie: c=3; a=changed; b=2"}));
    // Only c named the whole domain; a and b belong to the host that set them.
    EXPECT_EQ(CookieHeaderLinesForURL(grabber.cookies, CURL("http://img.site.example/shop/cart/x.gif")),
              (std::vector<std::string>{"Cookie: c=3"}));
    EXPECT_EQ(CookieHeaderLinesForURL(grabber.cookies, CURL("http://www.site.example/")),
              (std::vector<std::string>{"Cookie: b=2"}));
    EXPECT_TRUE(CookieHeaderLinesForURL(grabber.cookies, CURL("http://evil.example/shop/cart/")).empty());
}

// The grab hands the record the header its download parsed as it arrived;
// the record must end up as if it had parsed the text itself, and the
// parse stands for that one response only.
TEST(URLHeaders, TheDownloadsParseStandsForTheHeaderText)
{
    const std::string kHeaders[] = {
        "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nLast-Modified: Sun, 06 Nov 1994 08:49:37 GMT\r\n"
        "Set-Cookie: a=1\r\nSet-Cookie: b=2; Path=/\r\nDate: Mon, 07 Dec 2026 09:05:03 GMT\r\n\r\n",
        "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 302 Found\nLocation: /next\nContent-Length: 12\n"
        "WWW-Authenticate: Basic realm=\"R\"\n\n",
        "HTTP/1.1 404 Not Found\r\n\r\n",
        "garbage without lines",
    };
    for (const std::string& text : kHeaders) {
        SCOPED_TRACE(text);
        testsupport::CTestCrawlOwner parsedOwner, keptOwner;
        CURL parsed("http://www.site.example/shop/page.html"), kept("http://www.site.example/shop/page.html");
        parsed.mGrabOwner = &parsedOwner;
        kept.mGrabOwner = &keptOwner;
        kept.mLocation = "left from an earlier response";
        parsed.mRawHeader.Assign(std::string_view(text));
        kept.mRawHeader.Assign(std::string_view(text));
        parsed.ParseRawHeaders();
        kept.KeepReceivedHeader(CResponseHeader(text));
        kept.ParseRawHeaders();
        EXPECT_EQ(kept.mDate, parsed.mDate);
        EXPECT_EQ(kept.mLastModified, parsed.mLastModified);
        EXPECT_EQ(kept.mContentType, parsed.mContentType);
        EXPECT_EQ(kept.mContentLength, parsed.mContentLength);
        EXPECT_EQ(kept.mLocation, parsed.mLocation);
        EXPECT_EQ(kept.mRealm, parsed.mRealm);
        if (!parsed.mLastModified.empty()) {
            EXPECT_EQ(kept.mModificationSeconds, parsed.mModificationSeconds);
        }
        EXPECT_EQ(CookieNames(keptOwner.cookies), CookieNames(parsedOwner.cookies));

        // The next response of the record is read from its own text.
        kept.mRawHeader = "HTTP/1.1 200 OK\r\nLocation: /other\r\n\r\n";
        kept.ParseRawHeaders();
        EXPECT_EQ(kept.mLocation, "/other");
    }
}

// A response that sets thousands of cookies in one header keeps only the
// newest its domain may hold; the store never holds more than that.
TEST(URLHeaders, AHeaderOfManyCookiesLeavesTheNewest)
{
    testsupport::CTestCrawlOwner grabber;
    CURL url("http://www.site.example/page.html");
    url.mGrabOwner = &grabber;
    std::string header = "HTTP/1.1 200 OK\r\nSet-Cookie: c0=v";
    for (int i = 1; i < 40000; ++i) header += ";c" + std::to_string(i);
    url.ReadResponseHeaders(header + "\r\n\r\n");
    const std::vector<std::string> names = CookieNames(grabber.cookies);
    ASSERT_EQ(names.size(), CCookieStore::kMaxCookiesPerDomain);
    EXPECT_EQ(names.front(), "/ c39950=");
    EXPECT_EQ(names.back(), "/ c39999=");
}

TEST(URLHeaders, OffsiteCookiesStayWithTheirSite)
{
    testsupport::CTestCrawlOwner requestOwner;
    requestOwner.startHost = "start.example";
    CURL offsite("http://tracker.other/p/x.html");
    offsite.mRequestOwner = &requestOwner;
    offsite.ReadResponseHeaders("HTTP/1.1 200 OK\r\nSet-Cookie: id=42\r\n\r\n");
    ASSERT_EQ(requestOwner.cookies.CountCookies(), 1);
    EXPECT_TRUE(CookieHeaderLinesForURL(requestOwner.cookies, CURL("http://start.example/p/y.html")).empty());
    EXPECT_EQ(CookieHeaderLinesForURL(requestOwner.cookies, CURL("http://tracker.other/p/y.html")),
              (std::vector<std::string>{"Cookie: id=42"}));
}

TEST(URLHeaders, NoRunningCrawlNoCookies)
{
    testsupport::CTestCrawlOwner stopped;
    stopped.crawlRunning = false;
    testsupport::CTestCrawlOwner requestOwner;
    const std::string header = "HTTP/1.1 200 OK\r\nSet-Cookie: a=1\r\n\r\n";

    CURL ownerless("http://h/");
    ownerless.ReadResponseHeaders(header);  // nothing to store into, nothing breaks

    CURL url("http://h/");
    url.mGrabOwner = &stopped;
    url.ReadResponseHeaders(header);
    EXPECT_EQ(stopped.cookies.CountCookies(), 0);

    url.mGrabOwner = &stopped;
    url.mRequestOwner = &requestOwner;  // the request owner's crawl wins
    url.ReadResponseHeaders(header);
    EXPECT_EQ(requestOwner.cookies.CountCookies(), 1);
    EXPECT_EQ(stopped.cookies.CountCookies(), 0);
}

TEST(URLHeaders, ExtensionsFromContentTypes)
{
    struct Case {
        const char* contentType;
        const char* extension;
    };
    const Case cases[] = {
        {"text/html; charset=utf-8", ".html"},
        {"IMAGE/GIF", ".gif"},
        {"image/png", ".png"},
        {"application/x-unknown-to-everyone", ".html"},
        {"", ".html"},
    };
    for (const Case& c : cases) EXPECT_EQ(ExtensionForContentType(c.contentType), c.extension) << c.contentType;
}

}  // namespace
