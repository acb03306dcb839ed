#include <gtest/gtest.h>

#include "engine/transfer/auto_redirect.h"

namespace {

// A Location header is read as a link of the requested page (RFC 3986 5.2).
TEST(RedirectTarget, LocationsResolveAgainstTheRequestedURL)
{
    struct Case {
        int status;
        const char* location;
        const char* expected;
    };
    const char* request = "http://h:81/a/b/page?x=1";
    const Case cases[] = {
        {301, "http://other/x", "http://other/x"},
        {302, "//other/x", "http://other/x"},
        {303, "/root", "http://h:81/root"},
        {307, "next", "http://h:81/a/b/next"},
        {308, "../../../../up", "http://h:81/up"},
        {302, "?y=2", "http://h:81/a/b/page?y=2"},
        {302, "#part", "http://h:81/a/b/page?x=1#part"},
        {302, "  spaced  ", "http://h:81/a/b/spaced"},
        {302, "/sp ace\tx\x7F", "http://h:81/spacex"},  // blanks and controls inside are dropped
        {200, "/root", ""},
        {304, "/root", ""},
        {302, "", ""},
    };
    for (const Case& c : cases) {
        const std::string header = std::string("HTTP/1.1 ") + std::to_string(c.status) + " X\r\nlocation: " +
                                   c.location + "\r\n\r\n";
        EXPECT_EQ(RedirectTarget(request, c.status, header), c.expected) << c.location;
    }
    EXPECT_EQ(RedirectTarget("not a url", 302, "Location: /x\r\n"), "");
    EXPECT_EQ(URLOrigin("HTTP://H:81/a?b"), "http://h:81");
}

}  // namespace
