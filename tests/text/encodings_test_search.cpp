#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <random>
#include <string>

#include "foundation/text/text_encodings.h"

namespace {

constexpr std::size_t npos = std::string_view::npos;

// The plain definition: every offset, every char folded.
std::size_t NaiveFindNoCase(std::string_view haystack, std::string_view needle, std::size_t from)
{
    if (needle.empty()) return npos;
    for (std::size_t at = from; at + needle.size() <= haystack.size(); ++at) {
        std::size_t i = 0;
        while (i < needle.size() && AsciiLower(haystack[at + i]) == AsciiLower(needle[i])) ++i;
        if (i == needle.size()) return at;
    }
    return npos;
}

TEST(FindTextNoCaseTest, Cases)
{
    struct {
        std::string haystack;
        std::string needle;
        std::size_t from;
        std::size_t expected;
    } cases[] = {
        {"a href=", "HREF", 0, 2},
        {"<A HREF=x>", "<a href", 0, 0},
        {"text/html", "HTML", 0, 5},
        {"abc", "", 0, npos},
        {"", "a", 0, npos},
        {"abc", "abcd", 0, npos},
        {"abcABC", "abc", 1, 3},
        {"abcABC", "abc", 6, npos},
        {"abcABC", "abc", 7, npos},
        {"0123456789abcdefXYZ", "xyz", 0, 16},      // past the first eight-byte word
        {"0123456789abcdefghXYZ", "XyZ", 0, 18},
        {"aaaaaaaaaaaaaaaaaaab", "AAB", 0, 17},
        {"[a]{b}", "{B}", 0, 3},
        {"@`[{", "`", 0, 1},                       // '@' and '`' differ by 0x20 but are not letters
        {"@`[{", "{", 0, 3},
        {"caf\xC3\x89 caf\xC3\xA9", "CAF\xC3\xA9", 0, 6},  // only ASCII letters fold
        {std::string("a\0b\0B", 5), std::string("\0b", 2), 2, 3},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FindTextNoCase(c.haystack, c.needle, c.from), c.expected) << c.haystack << " / " << c.needle;
    }
}

TEST(FindTextNoCaseTest, CStringFormReturnsPointerOrNull)
{
    const char* text = "Content-Type: TEXT/HTML";
    EXPECT_EQ(FindTextNoCase(text, "text/html"), text + 14);
    EXPECT_EQ(FindTextNoCase(text, ""), nullptr);
    EXPECT_EQ(FindTextNoCase(text, "xml"), nullptr);
    EXPECT_EQ(FindTextNoCase(nullptr, "a"), nullptr);
    EXPECT_EQ(FindTextNoCase(text, nullptr), nullptr);
}

TEST(FindTextNoCaseTest, AgreesWithThePlainDefinitionOnRandomTexts)
{
    std::mt19937 random(20240611);
    const char alphabet[] = "aAbB<>@`zZ\xC3\xA9 ";
    auto randomText = [&](std::size_t length) {
        std::string text;
        for (std::size_t i = 0; i < length; ++i) text += alphabet[random() % (sizeof alphabet - 1)];
        return text;
    };
    for (int round = 0; round < 3000; ++round) {
        std::string haystack = randomText(random() % 70);
        std::string needle = randomText(1 + random() % 4);
        std::size_t from = random() % (haystack.size() + 2);
        ASSERT_EQ(FindTextNoCase(haystack, needle, from), NaiveFindNoCase(haystack, needle, from))
            << haystack << " / " << needle << " from " << from;
    }
}

TEST(CompareTextNoCaseTest, Cases)
{
    EXPECT_EQ(CompareTextNoCase("Hello", "hELLO", 5), 0);
    EXPECT_EQ(CompareTextNoCase("abc", "abd", 2), 0);
    EXPECT_EQ(CompareTextNoCase("ab", "ab", 10), 0);             // both end together
    EXPECT_EQ(CompareTextNoCase("abc", "abd", 3), 'c' - 'd');
    EXPECT_EQ(CompareTextNoCase("ab", "abc", 5), 0 - 'c');       // stops at the shorter text's NUL
    EXPECT_EQ(CompareTextNoCase("a", "B", 1), 'a' - 'B');        // raw chars
    EXPECT_EQ(CompareTextNoCase("@", "`", 1), '@' - '`');
    EXPECT_GT(CompareTextNoCase("\xC3\xA9", "\xC3\x89", 2), 0);  // non-ASCII never folds
    EXPECT_EQ(CompareTextNoCase("x", "y", 0), 0);
}

TEST(SmallConversionsTest, HexDigits)
{
    const char* digits = "0123456789abcdefABCDEF";
    const int values[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 10, 11, 12, 13, 14, 15};
    for (int i = 0; digits[i]; ++i) EXPECT_EQ(HexDigitValue(digits[i]), values[i]) << digits[i];
    for (char c : {'g', 'G', ' ', '\0', '%', static_cast<char>(0xC3)}) EXPECT_EQ(HexDigitValue(c), 0);
}

TEST(SmallConversionsTest, FourCharCodes)
{
    char text[5];
    PutBigEndian32(0x54455854u, text);
    EXPECT_STREQ(text, "TEXT");
    EXPECT_EQ(GetBigEndian32("TEXT"), 0x54455854u);
    EXPECT_EQ(GetBigEndian32("TEXTS"), 0x54455854u);
    PutBigEndian32(0xA5FF0102u, text);
    EXPECT_EQ(GetBigEndian32(text), 0xA5FF0102u);

    // Shorter texts are padded with NULs instead of read past their end.
    auto exact = [](const char* s) { return std::string(s, std::strlen(s) + 1); };
    std::string ab = exact("ab"), empty = exact("");
    EXPECT_EQ(GetBigEndian32(ab.c_str()), 0x61620000u);
    EXPECT_EQ(GetBigEndian32(empty.c_str()), 0u);
    EXPECT_EQ(GetBigEndian32(nullptr), 0u);
}

TEST(SmallConversionsTest, DecimalText)
{
    struct {
        std::int32_t value;
        std::size_t size;
        const char* expected;
    } cases[] = {
        {0, 16, "0"},
        {-12, 16, "-12"},
        {2147483647, 16, "2147483647"},
        {INT32_MIN, 16, "-2147483648"},
        {INT32_MIN, 12, "-2147483648"},
        {12345, 6, "12345"},
        {12345, 5, ""},   // a number cut short would read as another number
        {-1, 2, ""},
    };
    for (const auto& c : cases) {
        char buffer[16];
        std::memset(buffer, 'x', sizeof buffer);
        FormatDecimal(buffer, c.size, c.value);
        EXPECT_STREQ(buffer, c.expected) << c.value;
        if (c.size < sizeof buffer) {
            EXPECT_EQ(buffer[c.size], 'x') << "wrote past the size";
        }
    }
    char untouched = 'u';
    FormatDecimal(&untouched, 0, 5);
    EXPECT_EQ(untouched, 'u');
}

}  // namespace
