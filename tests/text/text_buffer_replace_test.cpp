// CTextBuffer replacing and deleting: ranges, substrings, first and every
// occurrence, char clean-ups and the encodings.
#include <cctype>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "foundation/text/text_buffer.h"

namespace {

TEST(TextBufferRange, DeleteSubstringAndReplaceClampTheirRange)
{
    struct Case {
        std::int32_t first;
        std::int32_t last;
        const char* afterDelete;
        const char* substring;
        const char* afterReplace;  // ReplaceRange with "XY"
    } cases[] = {
        {-5, 2, "def", "abc", "XYdef"},  // the start is clamped once: the text goes at 0
        {3, 1, "abcdef", "", "abcXYdef"},
        {4, 100, "abcd", "ef", "abcdXY"},
        {0, 5, "", "abcdef", "XY"},
        {6, 9, "abcdef", "", "abcdefXY"},
        {7, 9, "abcdef", "", "abcdef"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.first << ".." << c.last);
        CTextBuffer text("abcdef");
        text.DeleteRange(c.first, c.last);
        EXPECT_EQ(text.str(), c.afterDelete);

        std::unique_ptr<CTextBuffer> part(CTextBuffer("abcdef").Substring(c.first, c.last));
        ASSERT_NE(part, nullptr);
        EXPECT_EQ(part->str(), c.substring);

        CTextBuffer replaced("abcdef");
        replaced.ReplaceRange(c.first, c.last, "XY");
        EXPECT_EQ(replaced.str(), c.afterReplace);
    }
    CTextBuffer text("abcdef");
    text.ReplaceRange(0, 2, nullptr);
    EXPECT_EQ(text.str(), "abcdef");
}

enum class Kind { First, FirstNoCase, All, AllNoCase };

TEST(TextBufferReplace, FirstAndAllOccurrences)
{
    struct Case {
        Kind kind;
        std::string_view text;
        std::int32_t from;
        const char* pattern;
        const char* replacement;
        std::int32_t count;
        std::string_view after;
    } cases[] = {
        {Kind::All, "aaa", 0, "a", "aa", 3, "aaaaaa"},
        {Kind::All, "abcabc", 0, "bc", "", 2, "aa"},
        {Kind::All, "x.y.z", 0, ".", "::", 2, "x::y::z"},
        {Kind::All, "abc", 0, "", "x", 0, "abc"},
        {Kind::All, "abc", 0, "b", nullptr, 0, "abc"},
        {Kind::All, "abc", 0, "q", "x", 0, "abc"},
        {Kind::All, std::string_view("a.b\0a.b", 7), 0, ".", "-", 1, std::string_view("a-b\0a.b", 7)},
        {Kind::All, std::string_view("a.b\0a.b", 7), 0, ".", "::", 1, std::string_view("a::b\0a.b", 8)},
        {Kind::AllNoCase, "axbXc", 0, "x", "-", 2, "a-b-c"},
        {Kind::AllNoCase, "<A HREF=\"p\"><a href=\"q\">", 0, "<a href=\"", "<a href=\"/", 2,
         "<a href=\"/p\"><a href=\"/q\">"},
        {Kind::AllNoCase, "abc", 0, "", "x", 0, "abc"},
        {Kind::First, "abcabc", 0, "bc", "X", 1, "aXabc"},
        {Kind::First, "abcabc", 2, "bc", "X", 1, "abcaX"},
        {Kind::First, "abcabc", -4, "bc", "X", 1, "aXabc"},
        {Kind::First, "abcabc", 0, "", "X", 0, "abcabc"},
        {Kind::First, "abcabc", 0, "bc", nullptr, 0, "abcabc"},
        {Kind::FirstNoCase, "abCabc", 0, "Bc", "X", 1, "aXabc"},
        {Kind::FirstNoCase, "abCabc", 3, "Bc", "X", 1, "abCaX"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(c.kind) << " " << c.text << " / "
                                        << c.pattern << " -> " << (c.replacement ? c.replacement : "null"));
        CTextBuffer text(c.text);
        text.Name().Assign("kept");
        std::int32_t count = 0;
        switch (c.kind) {
        case Kind::First: count = text.ReplaceFirst(c.from, c.pattern, c.replacement) ? 1 : 0; break;
        case Kind::FirstNoCase: count = text.ReplaceFirstNoCase(c.from, c.pattern, c.replacement) ? 1 : 0; break;
        case Kind::All: count = text.ReplaceAll(c.pattern, c.replacement); break;
        case Kind::AllNoCase: count = text.ReplaceAllNoCase(c.pattern, c.replacement); break;
        }
        EXPECT_EQ(count, c.count);
        EXPECT_EQ(text.View(), c.after);
        EXPECT_STREQ(text.Name().c_str(), "kept");
    }
}

TEST(TextBufferReplace, ReplacementMayComeFromTheTextItself)
{
    CTextBuffer text(4);
    text.Assign("ab");
    EXPECT_EQ(text.ReplaceAll("b", text.c_str()), 1);
    EXPECT_EQ(text.str(), "aab");
    EXPECT_TRUE(text.ReplaceFirst("a", text.c_str()));
    EXPECT_EQ(text.str(), "aabab");
    EXPECT_EQ(text.ReplaceAll(text.c_str() + 3, "<>"), 2);  // the pattern "ab" too
    EXPECT_EQ(text.str(), "a<><>");
}

TEST(TextBufferReplace, AllMatchesAReferenceOnRandomTexts)
{
    // Shorter, equal and longer replacements, with patterns that overlap
    // themselves, against a plain left-to-right rebuild.
    const char* alphabet[] = {"a", "A", "b", "ab", "\xC3\xA9"};
    const char* patterns[] = {"a", "aa", "ab", "aba", "Ab"};
    const char* replacements[] = {"", "x", "yz", "aaa", "abab"};
    std::uint32_t seed = 99;
    auto next = [&seed](std::uint32_t n) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 16) % n;
    };
    for (int round = 0; round < 2000; ++round) {
        std::string original;
        const std::uint32_t pieces = next(40);
        for (std::uint32_t i = 0; i < pieces; ++i) original += alphabet[next(5)];
        const std::string pattern = patterns[next(5)];
        const char* replacement = replacements[next(5)];
        const bool ignoreCase = next(2) == 1;

        std::string expected;
        std::int32_t hits = 0;
        std::string folded = original;
        std::string foldedPattern = pattern;
        if (ignoreCase) {
            for (char& c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            for (char& c : foldedPattern) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        std::size_t done = 0;
        for (auto at = folded.find(foldedPattern); at != std::string::npos; at = folded.find(foldedPattern, done)) {
            expected += original.substr(done, at - done) + replacement;
            done = at + pattern.size();
            ++hits;
        }
        expected += original.substr(done);

        CTextBuffer text(8);  // a small step, so growing moves the text
        text.Assign(original);
        const std::int32_t count = ignoreCase ? text.ReplaceAllNoCase(pattern.c_str(), replacement)
                                              : text.ReplaceAll(pattern.c_str(), replacement);
        ASSERT_EQ(count, hits) << original << " / " << pattern << " -> " << replacement;
        ASSERT_EQ(text.str(), expected) << original << " / " << pattern << " -> " << replacement;
    }
}

TEST(TextBufferReplace, BufferPatternsAndManyHits)
{
    CTextBuffer text("One two ONE");
    EXPECT_TRUE(text.ReplaceFirstNoCase(CTextBuffer("one"), CTextBuffer("1")));
    EXPECT_EQ(text.str(), "1 two ONE");
    EXPECT_FALSE(text.ReplaceFirstNoCase(CTextBuffer("two"), CTextBuffer(nullptr, nullptr)));

    std::string big;
    for (int i = 0; i < 50000; ++i) big += "<p>x</p>";
    CTextBuffer page(big.c_str());
    EXPECT_EQ(page.ReplaceAllNoCase("<P>", "<div>"), 50000);
    EXPECT_EQ(page.ReplaceAll("</p>", "</div>"), 50000);
    EXPECT_EQ(page.Length(), 50000 * 12);
    EXPECT_EQ(page.Find("<p>"), -1);
}

TEST(TextBufferChars, CleanUpsWorkOnBytes)
{
    struct Case {
        const char* name;
        void (*edit)(CTextBuffer&);
        std::string_view text;
        std::string_view after;
    } cases[] = {
        {"ReplaceChar", [](CTextBuffer& t) { t.ReplaceChar('/', ':'); }, "a/b/c", "a:b:c"},
        {"RemoveChars", [](CTextBuffer& t) { t.RemoveChars("\r\n"); }, "a\r\nb\nc", "abc"},
        {"RemoveChars empty set", [](CTextBuffer& t) { t.RemoveChars(""); }, "a b", "a b"},
        {"CollapseSpaces", [](CTextBuffer& t) { t.CollapseSpaces(); }, "  a   b \t c ", " a b \t c "},
        {"BlankNonPrintables", [](CTextBuffer& t) { t.BlankNonPrintables(); }, "a\tb\x01" "c\x7F\xC3\xA9\r\n",
         "a b c \xC3\xA9  "},
        {"BlankNULs", [](CTextBuffer& t) { t.BlankNULs(); }, std::string_view("a\0b\0", 4), "a b "},
        {"MakeLowercase", [](CTextBuffer& t) { t.MakeLowercase(); }, "AbC\xC3\x89", "abc\xC3\x89"},
        {"URLDecode", [](CTextBuffer& t) { t.URLDecode(); }, "a%20b+c", "a b+c"},
        {"FormEncode", [](CTextBuffer& t) { t.FormEncode(); }, "a b&c", "a+b%26c"},
        {"PercentEncodeUnsafe", [](CTextBuffer& t) { t.PercentEncodeUnsafe(); }, "a b\tc/d?e=f",
         "a%20b%09c/d?e=f"},
        {"AppendFormEncoded", [](CTextBuffer& t) { t.AppendFormEncoded("x y=z"); }, "q=", "q=x+y%3Dz"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CTextBuffer text(c.text);
        c.edit(text);
        EXPECT_EQ(text.View(), c.after);
        EXPECT_EQ(text.Length(), static_cast<std::int32_t>(c.after.size()));
    }
}

}  // namespace
