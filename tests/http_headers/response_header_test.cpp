#include "engine/http/response_header.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>

namespace {

struct HeaderCase {
    const char* what;
    std::string text;
    std::int32_t statusCode;
    std::string statusLine;
    std::string location;
    std::string contentLength;
    std::string realm;
};

TEST(ResponseHeader, ParsesStatusAndFieldsOfTheFinalBlock)
{
    const HeaderCase cases[] = {
        {"plain CRLF", "HTTP/1.1 404 Not Found\r\nContent-Length: 12\r\n\r\n", 404, "HTTP/1.1 404 Not Found", "",
         "12", ""},
        {"single blank in the status line", "HTTP/1.1 200\r\n\r\n", 0, "HTTP/1.1 200", "", "", ""},
        {"no number between the blanks", "HTTP/1.1 OK fine\r\n\r\n", 0, "HTTP/1.1 OK fine", "", "", ""},
        {"bare LF", "HTTP/1.1 302 Found\nLocation: /next\nContent-Length: 0\n\n", 302, "HTTP/1.1 302 Found",
         "/next", "0", ""},
        {"mixed line ends", "HTTP/1.0 301 Moved\r\nLocation: /a\nContent-Length: 3\r\n", 301, "HTTP/1.0 301 Moved",
         "/a", "3", ""},
        {"100 Continue first",
         "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 201 Created\r\nLocation: /new\r\nContent-Length: 7\r\n\r\n", 201,
         "HTTP/1.1 201 Created", "/new", "7", ""},
        {"two interim blocks, bare LF",
         "HTTP/1.1 100 Continue\n\nHTTP/1.1 102 Processing\nLocation: /interim\n\nHTTP/1.1 200 OK\n\n", 200,
         "HTTP/1.1 200 OK", "", "", ""},
        {"only an interim block", "HTTP/1.1 100 Continue\r\n\r\n", 100, "HTTP/1.1 100 Continue", "", "", ""},
        {"colon without a blank is not split", "HTTP/1.1 200 OK\r\nLocation:/tight\r\n\r\n", 200, "HTTP/1.1 200 OK",
         "", "", ""},
        {"first of two locations", "HTTP/1.1 302 Found\r\nLocation: /one\r\nLocation: /two\r\n\r\n", 302,
         "HTTP/1.1 302 Found", "/one", "", ""},
        {"value cut at a further colon and blank", "HTTP/1.1 302 Found\r\nLocation: http: //x\r\n\r\n", 302,
         "HTTP/1.1 302 Found", "http", "", ""},
        {"names in any case", "HTTP/1.1 200 OK\r\nLOCATION: /up\r\ncontent-LENGTH: 9\r\n\r\n", 200,
         "HTTP/1.1 200 OK", "/up", "9", ""},
        {"realm", "HTTP/1.1 401 Unauthorized\r\nWWW-Authenticate: Basic realm=\"Members\"\r\n\r\n", 401,
         "HTTP/1.1 401 Unauthorized", "", "", "Members"},
        {"realm without its closing quote", "HTTP/1.1 401 No\r\nWWW-Authenticate: Basic realm=\"Open\r\n\r\n", 401,
         "HTTP/1.1 401 No", "", "", ""},
        {"empty text", "", 0, "", "", "", ""},
    };
    for (const HeaderCase& c : cases) {
        CResponseHeader header(c.text);
        EXPECT_EQ(header.mStatusCode, c.statusCode) << c.what;
        EXPECT_EQ(header.mStatusLine, c.statusLine) << c.what;
        EXPECT_EQ(header.mLocation, c.location) << c.what;
        EXPECT_EQ(header.mContentLength, c.contentLength) << c.what;
        EXPECT_EQ(header.mRealm, c.realm) << c.what;
        EXPECT_EQ(header.mHeaderText, c.text) << c.what;
    }
}

TEST(ResponseHeader, LineWithoutBlankAfterColonKeepsItsWholeTextAsName)
{
    CHeaderBlock block;
    ParseHeaderBlock("HTTP/1.1 200 OK\r\nLocation:/tight\r\nX-A: b\r\n", block);
    EXPECT_TRUE(block.fields.Contains("location:/tight"));
    EXPECT_EQ(block.fields.Lookup("location:/tight"), "");
    EXPECT_FALSE(block.fields.Contains("location"));
    EXPECT_EQ(block.fields.Lookup("x-a"), "b");
}

TEST(ResponseHeader, SetCookieLinesAreGatheredInOrder)
{
    CHeaderBlock block;
    ParseHeaderBlock("HTTP/1.1 100 Continue\r\nSet-Cookie: early=1\r\n\r\n"
                     "HTTP/1.1 200 OK\r\nSet-Cookie: a=1\r\nset-cookie: b=2; path=/\r\nSET-COOKIE: c=3\r\n\r\n",
                     block);
    ASSERT_EQ(block.setCookies.size(), 3u);
    EXPECT_EQ(block.setCookies[0], "a=1");
    EXPECT_EQ(block.setCookies[1], "b=2; path=/");
    EXPECT_EQ(block.setCookies[2], "c=3");
    EXPECT_FALSE(block.fields.Contains("set-cookie"));
}

TEST(ResponseHeader, DatesBecomeUnixSeconds)
{
    CResponseHeader dated("HTTP/1.1 200 OK\r\nDate: Sun, 06 Nov 1994 08:49:37 GMT\r\n"
                          "Last-Modified: Sun, 06 Nov 1994 08:49:37 GMT\r\n\r\n");
    EXPECT_EQ(dated.mDate, "Sun, 06 Nov 1994 08:49:37 GMT");
    EXPECT_EQ(dated.mModificationSeconds, 784111777);

    std::int64_t before = std::time(nullptr);
    CResponseHeader undated("HTTP/1.1 200 OK\r\n\r\n");
    EXPECT_EQ(undated.mLastModified, "");
    EXPECT_GE(undated.mModificationSeconds, before);
    EXPECT_LE(undated.mModificationSeconds, static_cast<std::int64_t>(std::time(nullptr)));
}

TEST(ResponseHeader, ContentLengthParsesAsSixtyFourBits)
{
    struct Case {
        const char* text;
        std::optional<std::uint64_t> bytes;
    };
    const Case cases[] = {
        {"0", 0u},
        {"42", 42u},
        {" 42\t", 42u},
        {"3221225472", 3221225472u},  // 3 GB: past every 32-bit type
        {"18446744073709551615", UINT64_MAX},
        {"18446744073709551616", std::nullopt},
        {"99999999999999999999999", std::nullopt},
        {"", std::nullopt},
        {"  ", std::nullopt},
        {"-1", std::nullopt},
        {"+1", std::nullopt},
        {"12a", std::nullopt},
        {"1 2", std::nullopt},
        {"0x10", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseContentLength(c.text), c.bytes) << '"' << c.text << '"';

    CResponseHeader big("HTTP/1.1 200 OK\r\nContent-Length: 3221225472\r\n\r\n");
    ASSERT_TRUE(big.ContentLengthBytes().has_value());
    EXPECT_GT(*big.ContentLengthBytes(), std::uint64_t{2147483648u});
    EXPECT_LT(std::uint64_t{3221225471u}, *big.ContentLengthBytes());
}

}  // namespace
