// Which answers may replace a saved file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/update/complete_response.h"
#include "engine/url/url_record.h"

namespace {

TEST(CompleteResponse, OnlyAWhole2xxBodyCounts)
{
    struct Case {
        const char* name;
        std::uint8_t fetched;
        std::int32_t status;
        std::string contentLength;
        std::string body;
        bool complete;
    };
    const std::vector<Case> cases = {
        {"200 with matching length", 1, 200, "5", "hello", true},
        {"200 without length", 1, 200, "", "hello", true},
        {"203 from a proxy", 1, 203, "5", "hello", true},
        {"200 with empty body and length 0", 1, 200, "0", "", true},
        {"not fetched", 0, 200, "5", "hello", false},
        {"truncated", 1, 200, "10", "hello", false},
        {"longer than announced", 1, 200, "3", "hello", false},
        {"length not a number", 1, 200, "five", "hello", false},
        {"no status", 1, 0, "", "hello", false},
        {"1xx", 1, 199, "", "hello", false},
        {"no content", 1, 204, "", "", false},
        {"reset content", 1, 205, "", "", false},
        {"partial content", 1, 206, "5", "hello", false},
        {"redirect", 1, 301, "5", "moved", false},
        {"not modified", 1, 304, "", "", false},
        {"error page", 1, 404, "9", "not found", false},
        {"server error", 1, 500, "5", "oops!", false},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        CURL url("http://example.test/page.html");
        url.mFetchedOK = test.fetched;
        url.mStatusCode = test.status;
        url.mContentLength = test.contentLength;
        ASSERT_TRUE(url.mBody.AppendBytes(test.body.data(), test.body.size()));
        EXPECT_EQ(HoldsCompleteBody(url), test.complete);
    }
}

}  // namespace
