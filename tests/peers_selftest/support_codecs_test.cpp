// The JSON and base64 codecs carry scripts to the peers and their logs back:
// a fault here would make a peer test pass or fail for the wrong reason.
#include "foundation/text/utf8_validity.h"
#include "tests/support/base64.h"
#include "tests/support/json_value.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

using namespace testsupport;

namespace {

TEST(SupportCodecs, Base64RoundTripsEveryLength)
{
    struct Case {
        std::string bytes;
        std::string text;
    };
    const Case cases[] = {
        {"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"foob", "Zm9vYg=="},
        {std::string("\0\xff\xfe", 3), "AP/+"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Base64Encode(c.bytes), c.text);
        EXPECT_EQ(Base64Decode(c.text), c.bytes);
    }
    EXPECT_THROW(Base64Decode("ab*d"), std::runtime_error);
}

TEST(SupportCodecs, JsonParsesWhatPythonWrites)
{
    struct Case {
        const char* text;
        std::string serialized;  // after a round trip
    };
    const Case cases[] = {
        {R"({"a": [1, 2.5, -3e2], "b": null, "c": true})", R"({"a":[1,2.5,-300],"b":null,"c":true})"},
        {R"("tab\there \"q\" \\ \/")", R"("tab\there \"q\" \\ /")"},
        {R"("\u00e9\u20ac\ud83d\ude00")", "\"\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80\""},
        {R"("\u0000\u001f")", R"("\u0000\u001f")"},
        {R"([[], {}, [[]]])", R"([[],{},[[]]])"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(JsonValue::Parse(c.text).Serialize(), c.serialized);
    }
    const char* broken[] = {"", "{", R"({"a" 1})", "[1,]", R"("\ud800")", R"("\q")", "01x", "[1] 2", "\"a\nb\""};
    for (const char* text : broken) EXPECT_THROW(JsonValue::Parse(text), std::runtime_error) << text;
}

TEST(SupportCodecs, Utf8CheckDecidesTextOrBase64Bodies)
{
    struct Case {
        std::string bytes;
        bool valid;
    };
    const Case cases[] = {
        {"plain", true}, {"\xc3\xa9", true}, {"\xf0\x9f\x98\x80", true}, {"\xc3", false},
        {"\xc0\xaf", false}, {"\xed\xa0\x80", false}, {"\xff", false}, {"\xe2\x82", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsValidUtf8(c.bytes), c.valid) << c.bytes;
}

}  // namespace
