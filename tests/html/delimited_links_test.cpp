#include "engine/html/delimited_links.h"

#include <gtest/gtest.h>

#include <random>

#include "engine/html/anchor_text.h"

namespace {

using Links = std::vector<std::string>;

std::size_t NaiveFindNoCase(const std::string& text, const std::string& needle, std::size_t from)
{
    for (std::size_t at = from; at + needle.size() <= text.size(); ++at) {
        bool same = true;
        for (std::size_t i = 0; i < needle.size() && same; ++i)
            same = std::tolower(static_cast<unsigned char>(text[at + i])) ==
                   std::tolower(static_cast<unsigned char>(needle[i]));
        if (same) return at;
    }
    return std::string::npos;
}

// The rule as written: cut the first span from the start again and again.
Links NaiveCut(std::string& text, const std::string& begin, const std::string& end)
{
    Links links;
    while (true) {
        std::size_t b = NaiveFindNoCase(text, begin, 0);
        if (b == std::string::npos) break;
        std::size_t e = NaiveFindNoCase(text, end, b + begin.size());
        if (e == std::string::npos) break;
        links.push_back(text.substr(b + begin.size(), e - b - begin.size()));
        text.erase(b, e + end.size() - b);
    }
    return links;
}

// The links, with `text` left as the pairs leave it.
Links Cut(std::string& text, const std::vector<CLinkDelimiterPair>& pairs)
{
    Links links;
    std::string left;
    CutDelimitedLinks(text, pairs, [&links](std::string_view link, std::size_t, CAnchorSource&) {
        links.emplace_back(link);
        return true;
    }, &left);
    text = left;
    return links;
}

std::string RandomText(std::mt19937& random, std::size_t length)
{
    static constexpr char kAlphabet[] = "abAB<>\"x=";
    std::uniform_int_distribution<int> pick(0, sizeof kAlphabet - 2);
    std::string text;
    for (std::size_t i = 0; i < length; ++i) text += kAlphabet[pick(random)];
    return text;
}

TEST(DelimitedLinks, OnePassCutsAsCuttingTheFirstSpanAgainAndAgain)
{
    // Markers that repeat their own letters make cuts join new markers
    // out of the text on both sides.
    const std::vector<std::pair<std::string, std::string>> pairSets[] = {
        {{"ab<", ">"}},
        {{"aab", "b"}},
        {{"<a", "\""}, {"b\"", "a"}},
        {{"AbA", "bAb"}, {"\"", "\""}, {"x<", ">x"}},
    };
    std::mt19937 random(1965);
    for (const auto& set : pairSets) {
        std::vector<CLinkDelimiterPair> pairs;
        for (const auto& [begin, end] : set) pairs.emplace_back(begin, end);
        for (int round = 0; round < 1500; ++round) {
            std::string text = RandomText(random, 1 + round % 120);
            std::string expectedText = text;
            Links expected;
            for (const auto& [begin, end] : set)
                for (std::string& link : NaiveCut(expectedText, begin, end)) expected.push_back(link);
            std::string actualText = text;
            Links actual = Cut(actualText, pairs);
            ASSERT_EQ(actual, expected) << text;
            ASSERT_EQ(actualText, expectedText) << text;
        }
    }
}

TEST(DelimitedLinks, DeleteAllBetweenMatchesTheRepeatedRule)
{
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        std::string text = RandomText(random, 1 + round % 90);
        std::string expected = text;
        NaiveCut(expected, "<a", "b>");
        std::string actual = text;
        DeleteAllBetween(actual, "<A", "B>");
        ASSERT_EQ(actual, expected) << text;
    }
}

TEST(DelimitedLinks, ReadsEveryAttributeShapeWithTheDefaultPairs)
{
    const struct {
        const char* text;
        Links links;
    } cases[] = {
        {"<a href=\"x.html\">X</a>", {"x.html"}},
        {"<a HREF='y.html'>Y</a>", {"y.html"}},
        {"<img src=\"i.gif\"><a href=\"h.html\">", {"h.html", "i.gif"}},
        {"<body background=\"b.gif\">", {"b.gif"}},
        {"<td background=bg.gif>", {"bg.gif"}},
        // An unquoted value ends at a blank or at the tag's end.
        {"<a HREF=foo.html class=x>", {"foo.html"}},
        {"<img src=a.gif><a href=b.html> <p>", {"a.gif", "b.html"}},
        {"<img src=a.gif alt=x>", {"a.gif"}},
        // Disabled pairs find nothing.
        {"<option value=\"o.html\">", {}},
        // A value that runs to the end of the text has no end.
        {"<a href=x.html", {}},
        {"<a href=\"\">", {""}},
    };
    for (const auto& c : cases) {
        std::string text = c.text;
        EXPECT_EQ(Cut(text, DefaultDelimiterPairs()), c.links) << c.text;
    }
}

TEST(DelimitedLinks, CutsDelimiterTextsToTheirLimit)
{
    CLinkDelimiterPair pair(std::string(40, 'x'), std::string(35, 'y'));
    EXPECT_EQ(pair.begin.size(), kDelimiterTextLimit);
    EXPECT_EQ(pair.end.size(), kDelimiterTextLimit);
    EXPECT_FALSE(pair.attributeValue);
    EXPECT_TRUE(CLinkDelimiterPair("SRC=", " ").attributeValue);
}

TEST(DelimitedLinks, StopsWhenTheVisitorSaysSo)
{
    std::string text = "<a href=\"1.html\"><a href=\"2.html\"><img src=\"3.gif\">";
    Links seen;
    bool finished = CutDelimitedLinks(text, DefaultDelimiterPairs(), [&](std::string_view link, std::size_t, CAnchorSource&) {
        seen.emplace_back(link);
        return seen.size() < 2;
    });
    EXPECT_FALSE(finished);
    EXPECT_EQ(seen, (Links{"1.html", "2.html"}));
}

TEST(DelimitedLinks, RemovesTheHrefOfEveryAnchorOnly)
{
    const struct {
        const char* text;
        const char* expected;
    } cases[] = {
        {"<a href=\"x.html\">X</a><img src=\"i.gif\">", "<a >X</a><img src=\"i.gif\">"},
        {"<A class=\"c\" HREF='y.html' title=t>", "<A class=\"c\"  title=t>"},
        {"<a href=z.html>", "<a >"},
        {"<a\nhref = \"s.html\">", "<a\n>"},
        {"<a title=\"href=no\" href=\"yes.html\">", "<a title=\"href=no\" >"},
        {"<abbr href=\"q\"><area href=\"m.html\"><link href=\"s.css\">",
         "<abbr href=\"q\"><area href=\"m.html\"><link href=\"s.css\">"},
        {"<a name=top>", "<a name=top>"},
        {"<a href=\"unclosed", "<a "},
    };
    for (const auto& c : cases) {
        std::string text = c.text;
        RemoveAnchorHrefs(text);
        EXPECT_EQ(text, c.expected) << c.text;
    }
}

}  // namespace
