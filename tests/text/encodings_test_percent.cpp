#include <gtest/gtest.h>

#include <string>

#include "foundation/text/text_encodings.h"

namespace {

struct CodecCase {
    std::string input;
    std::string expected;
};

class URLDecodeTest : public ::testing::TestWithParam<CodecCase> {};

TEST_P(URLDecodeTest, DecodesCompleteEscapesOnly)
{
    const CodecCase& c = GetParam();
    EXPECT_EQ(URLDecode(c.input), c.expected);

    // The raw form writes exactly the decoded bytes and a NUL.
    std::string destination(c.input.size() + 1, '\x7E');
    std::size_t length = URLDecode(c.input.data(), c.input.size(), destination.data());
    EXPECT_EQ(destination.substr(0, length), c.expected);
    EXPECT_EQ(destination[length], '\0');

    std::string inPlace = c.input + '\0';
    length = URLDecode(inPlace.data(), c.input.size(), inPlace.data());
    EXPECT_EQ(inPlace.substr(0, length), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Escapes, URLDecodeTest,
    ::testing::Values(
        CodecCase{"a%20b", "a b"},
        CodecCase{"a+b", "a+b"},
        CodecCase{"%41%62%3d%3D", "Ab=="},
        CodecCase{"caf%C3%A9", "caf\xC3\xA9"},
        CodecCase{"%2525", "%25"},                  // decoded once
        CodecCase{"50%-off", "50%-off"},            // malformed escapes stay as written
        CodecCase{"%G1", "%G1"},
        CodecCase{"%1G", "%1G"},
        CodecCase{"100%", "100%"},
        CodecCase{"a%4", "a%4"},
        CodecCase{"%", "%"},
        CodecCase{"%%41", "%A"},
        CodecCase{"name%00.html", "name%00.html"},  // a NUL never ends a name
        CodecCase{"%0a%0D", "\n\r"},
        CodecCase{"", ""},
        CodecCase{std::string("a\0%41", 5), std::string("a\0A", 3)}));

class FormEncodeTest : public ::testing::TestWithParam<CodecCase> {};

TEST_P(FormEncodeTest, EscapesAllButUnreservedChars)
{
    EXPECT_EQ(FormEncode(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, FormEncodeTest,
    ::testing::Values(
        CodecCase{"a b&c", "a+b%26c"},
        CodecCase{"Az09*-._", "Az09*-._"},
        CodecCase{"\xC3\xA9", "%C3%A9"},            // each UTF-8 byte
        CodecCase{"\xE2\x82\xAC 5", "%E2%82%AC+5"},
        CodecCase{"line1\r\nline2\tx", "line1%0D%0Aline2%09x"},  // control chars are escaped
        CodecCase{"\x7F\x01", "%7F%01"},
        CodecCase{std::string("a\0b", 3), "a%00b"},
        CodecCase{"+%~", "%2B%25%7E"},
        CodecCase{"!\"#$'(),/:;<=>?@[\\]^`{|}", "%21%22%23%24%27%28%29%2C%2F%3A%3B%3C%3D%3E%3F%40%5B%5C%5D%5E%60%7B%7C%7D"},
        CodecCase{"", ""}));

class PercentEncodeUnsafeTest : public ::testing::TestWithParam<CodecCase> {};

TEST_P(PercentEncodeUnsafeTest, EscapesControlsSpacesAndHighBytes)
{
    EXPECT_EQ(PercentEncodeUnsafe(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, PercentEncodeUnsafeTest,
    ::testing::Values(
        CodecCase{"a b", "a%20b"},
        CodecCase{"\t", "%09"},
        CodecCase{"a/b?c=d", "a/b?c=d"},
        CodecCase{"%{}|~", "%{}|~"},
        CodecCase{"caf\xC3\xA9", "caf%c3%a9"},
        CodecCase{std::string("\0\x7F", 2), "%00%7f"}));

TEST(FormEscapeTableTest, AgreesWithFormEncodeForEveryByte)
{
    const TPooledMap<char, CFixedString31>& table = FormEscapeTable();
    EXPECT_EQ(table.Count(), 256);
    for (int code = 0; code < 256; ++code) {
        char c = static_cast<char>(code);
        const auto* node = table.Find(c);
        ASSERT_NE(node, nullptr) << code;
        std::string encoded = FormEncode(std::string_view(&c, 1));
        if (node->value.IsEmpty()) EXPECT_EQ(encoded, c == ' ' ? "+" : std::string(1, c)) << code;
        else EXPECT_EQ(encoded, node->value.str()) << code;
    }
    EXPECT_STREQ(table.Lookup('&').c_str(), "%26");
    EXPECT_STREQ(table.Lookup(static_cast<char>(0xE9)).c_str(), "%E9");
    EXPECT_TRUE(table.Lookup(' ').IsEmpty());
    EXPECT_EQ(&table, &FormEscapeTable());
}

TEST(URLCharsTest, ClassesCoverAlnumAndURLPunctuationOnly)
{
    const std::string accepted =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"
        "$-_.+!*'(),;/?:@=&\"#%<>~";
    for (int code = 0; code < 256; ++code) {
        unsigned char c = static_cast<unsigned char>(code);
        bool expected = code != 0 && accepted.find(static_cast<char>(c)) != std::string::npos;
        EXPECT_EQ(IsURLChar(c), expected) << code;
        EXPECT_EQ(NeedsPercentEscape(c), code <= 0x20 || code >= 0x7F) << code;
    }
}

TEST(URLCharsTest, WholeTexts)
{
    struct {
        const char* text;
        bool expected;
    } cases[] = {
        {"", true},
        {"http://example.com/~user/a.html?x=1&y=%20#top", true},
        {"a b", false},
        {"a{b", false},
        {"caf\xC3\xA9", false},
        {"line\n", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsAllURLChars(c.text), c.expected) << c.text;
}

}  // namespace
