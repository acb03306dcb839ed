// CTextBuffer searching: exact and case-blind finds, prefixes and suffixes,
// whole words, the known-extension hook and the URL character test.
#include <cstring>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "foundation/text/text_buffer.h"

namespace {

CTextBuffer Bytes(std::string_view bytes)
{
    CTextBuffer text;
    text.AppendBytes(bytes.data(), static_cast<std::int32_t>(bytes.size()));
    return text;
}

TEST(TextBufferFind, ExactAndCaseBlind)
{
    struct Case {
        std::string_view text;
        const char* pattern;
        std::int32_t from;
        std::int32_t exact;
        std::int32_t noCase;
    } cases[] = {
        {"hello world", "o", 0, 4, 4},
        {"hello world", "o", 5, 7, 7},
        {"hello world", "o", 8, -1, -1},
        {"hello world", "o", -3, 4, 4},
        {"hello world", "o", 99, -1, -1},
        {"a HREF=x href=", "href", 0, 9, 2},
        {"a HREF=x href=", "HREF", 3, -1, 9},
        {"abc", "abcd", 0, -1, -1},
        {"abc", "", 1, 1, -1},  // exact: the empty pattern is where the search starts
        {std::string_view("ab\0cd", 5), "cd", 0, -1, -1},  // a NUL ends what the search sees
        {std::string_view("ab\0cd", 5), "b", 0, 1, 1},
        {"caf\xC3\xA9 CAF\xC3\xA9", "caf\xC3\xA9", 1, -1, 6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.text << " / " << c.pattern << " from " << c.from);
        const CTextBuffer text = Bytes(c.text);
        EXPECT_EQ(text.Find(c.pattern, c.from), c.exact);
        EXPECT_EQ(text.FindNoCase(c.pattern, c.from), c.noCase);
    }
    EXPECT_EQ(CTextBuffer("x").Find(nullptr), -1);
}

TEST(TextBufferFind, PrefixAndSuffixIgnoringCase)
{
    struct Case {
        const char* text;
        const char* affix;
        bool begins;
        bool ends;
    } cases[] = {
        {"Index.HTML", "index", true, false}, {"Index.HTML", ".html", false, true},
        {"abc", "abcd", false, false},        {"abc", "", true, true},
        {"", "", true, true},                 {"abc", nullptr, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.text << " / " << (c.affix ? c.affix : "null"));
        const CTextBuffer text(c.text);
        EXPECT_EQ(text.BeginsWithNoCase(c.affix), c.begins);
        EXPECT_EQ(text.EndsWithNoCase(c.affix), c.ends);
    }
}

TEST(TextBufferWholeWord, FollowsTheDelimiterRules)
{
    struct Case {
        const char* text;
        const char* delimiters;
        const char* word;
        std::int32_t exact;
        std::int32_t noCase;
    } cases[] = {
        {"cat dog", " ", "cat", 0, 0},
        {"cats", " ", "cat", -1, -1},
        {"a cat", " ", "cat", 2, 2},
        {"a cats cat", " ", "cat", 7, 7},
        {"bobcat cat", " ", "cat", 7, 7},
        {"cat.", " ", "cat", 0, 0},       // at the start any non-alphanumeric char ends the word
        {"x cat.", " ", "cat", -1, -1},   // elsewhere only a delimiter does
        {"x cat.", " .", "cat", 2, 2},
        {"x.cat", " ", "cat", -1, -1},
        {"a b c", " ", "b c", -1, -1},    // a word holding a delimiter is never whole
        {"A CAT", " ", "cat", -1, 2},
        {"cat", " ", "", -1, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "'" << c.text << "' / '" << c.word << "'");
        const CTextBuffer text(c.text);
        EXPECT_EQ(text.FindWholeWord(c.delimiters, c.word), c.exact);
        EXPECT_EQ(text.FindWholeWordNoCase(c.delimiters, c.word), c.noCase);
    }
}

TEST(TextBufferWholeWord, OccurrencesOutsideTheTextAreRejected)
{
    const CTextBuffer text("a cat");
    struct Case {
        std::int32_t index;
        std::int32_t length;
        bool whole;
    } cases[] = {{2, 3, true}, {0, 1, true}, {2, 4, false}, {-1, 2, false}, {3, -1, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.index << "," << c.length);
        EXPECT_EQ(text.IsWholeWordAt(" ", c.index, c.length), c.whole);
    }
}

bool KnowsHtml(const char* dotExtension)
{
    return std::strcmp(dotExtension, ".html") == 0;
}

TEST(TextBufferExtension, AsksTheInstalledTestWithLowercasedText)
{
    CTextBuffer text("HTML");
    EXPECT_FALSE(text.HasKnownExtension());  // nothing installed: nothing known
    EXPECT_EQ(text.str(), "html");

    SetKnownExtensionTest(&KnowsHtml);
    text.Assign("HtMl");
    EXPECT_TRUE(text.HasKnownExtension());
    text.Assign("htm");
    EXPECT_FALSE(text.HasKnownExtension());
    SetKnownExtensionTest(nullptr);
    text.Assign("html");
    EXPECT_FALSE(text.HasKnownExtension());
}

TEST(TextBufferURLChars, WholeTextMustBeURLChars)
{
    struct Case {
        std::string_view text;
        bool all;
    } cases[] = {
        {"", true},
        {"http://a.b/c?d=e&f#g%20", true},
        {"a b", false},
        {"a{b", false},
        {std::string_view("a\0b", 3), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Bytes(c.text).IsAllURLChars(), c.all);
    }
}

}  // namespace
