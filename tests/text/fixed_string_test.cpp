#include "foundation/text/fixed_string.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(FixedString, TruncatesAtCapacityOnCharacterBoundaries)
{
    struct Case {
        std::string input;
        std::size_t expectedLength;
    };
    const std::string ascii300(300, 'a');
    // 127 two-byte characters are 254 bytes; a 128th would pass 255.
    std::string twoByte;
    for (int i = 0; i < 128; ++i) twoByte += "\xC3\xA9";
    std::string threeAtEdge = std::string(254, 'a') + "\xE2\x82\xAC";  // euro sign straddles 255
    const Case cases[] = {
        {"", 0},
        {"short", 5},
        {ascii300, 255},
        {twoByte, 254},
        {threeAtEdge, 254},
    };
    for (const auto& c : cases) {
        CFixedString255 s(c.input.c_str());
        EXPECT_EQ(s.Length(), c.expectedLength) << c.input.size();
        EXPECT_EQ(std::string(s.c_str()), c.input.substr(0, c.expectedLength));
    }
}

TEST(FixedString, SmallerCapacitiesTruncateToo)
{
    CFixedString31 s31;
    s31.Assign("0123456789012345678901234567890123456789");
    EXPECT_EQ(s31.Length(), 31u);
    CFixedString127 s127;
    s127.Assign(std::string(200, 'x').c_str());
    EXPECT_EQ(s127.Length(), 127u);
    s127.Assign(nullptr);
    EXPECT_TRUE(s127.IsEmpty());
}

TEST(FixedString, AppendKeepsRoomRules)
{
    CFixedString255 s(std::string(250, 'a').c_str());
    s.Append("bcdefgh");
    EXPECT_EQ(s.Length(), 255u);
    EXPECT_TRUE(s.EndsWith("bcdef"));

    CFixedString255 c(std::string(253, 'a').c_str());
    c.AppendChar('x');  // two places free: appended
    EXPECT_EQ(c.Length(), 254u);
    c.AppendChar('y');  // only one place free: unchanged
    EXPECT_EQ(c.Length(), 254u);

    CFixedString255 n("n=");
    n.AppendNumber(-12);
    EXPECT_STREQ(n.c_str(), "n=-12");
    n.AssignNumber(INT32_MIN);
    EXPECT_STREQ(n.c_str(), "-2147483648");
    n.Append(static_cast<const char*>(nullptr));
    EXPECT_STREQ(n.c_str(), "-2147483648");
}

TEST(FixedString, SelfAssignAndAppendOwnText)
{
    CFixedString255 s("abc");
    s.Assign(s.c_str());
    EXPECT_STREQ(s.c_str(), "abc");
    const CFixedString255& self = s;  // an alias, so the compiler lets the self-assignment through
    s = self;
    EXPECT_STREQ(s.c_str(), "abc");
    s.Append(s);
    EXPECT_STREQ(s.c_str(), "abcabc");
}

TEST(FixedString, PrependTruncatesTheJoinedText)
{
    CFixedString255 s(std::string(250, 'b').c_str());
    s.Prepend("aaaaaaaaaa");
    EXPECT_EQ(s.Length(), 255u);
    EXPECT_TRUE(s.BeginsWith("aaaaaaaaaab"));
}

TEST(FixedString, JoinAndSplit)
{
    TPooledList<CFixedString255> list;
    CFixedString255 joined;
    joined.Join(',', list);
    EXPECT_STREQ(joined.c_str(), "");

    list.Append("one");
    joined.Join(',', list);
    EXPECT_STREQ(joined.c_str(), "one");

    list.Append("two");
    list.Append("three");
    joined.Join(',', list);
    EXPECT_STREQ(joined.c_str(), "one,two,three");

    struct Case {
        const char* text;
        const char* delimiters;
        std::vector<std::string> tokens;
    };
    const Case cases[] = {
        {"a,b,,c", ",", {"a", "b", "c"}},
        {",,,", ",", {}},
        {"", ",", {}},
        {" x \ty ", " \t", {"x", "y"}},
        {"solo", ",", {"solo"}},
    };
    for (const auto& c : cases) {
        CFixedString255 s(c.text);
        s.Split(c.delimiters, list);  // earlier items are always gone
        std::vector<std::string> got;
        for (const auto& item : list) got.emplace_back(item.c_str());
        EXPECT_EQ(got, c.tokens) << c.text;
        EXPECT_EQ(list.Count(), static_cast<std::int32_t>(c.tokens.size()));
    }
}

TEST(FixedString, PrefixAndSuffixTests)
{
    struct Case {
        const char* text;
        const char* affix;
        bool ignoreCase;
        bool begins;
        bool ends;
    };
    const Case cases[] = {
        {"index.html", "INDEX", true, true, false},
        {"index.html", "INDEX", false, false, false},
        {"index.html", ".HTML", true, false, true},
        {"index.html", "", false, true, true},
        {"a", "longer than a", false, false, false},
        {"", "", true, true, true},
    };
    for (const auto& c : cases) {
        CFixedString255 s(c.text);
        EXPECT_EQ(s.BeginsWith(c.affix, c.ignoreCase), c.begins) << c.text << " / " << c.affix;
        EXPECT_EQ(s.EndsWith(c.affix, c.ignoreCase), c.ends) << c.text << " / " << c.affix;
    }
}

TEST(FixedString, MatchContainsNoCaseScores)
{
    struct Case {
        const char* subject;
        const char* needle;
        float score;
    };
    const Case cases[] = {
        {"text/html", "HTML", 1.0f},
        {"text/html", "", 0.0f},
        {"", "html", 0.0f},
        {"image/png", "html", 0.0f},
        {"x", "x", 1.0f},
    };
    for (const auto& c : cases) {
        float score = -1.0f;
        MatchContainsNoCase(c.subject, c.needle, &score);
        EXPECT_EQ(score, c.score) << c.subject << " / " << c.needle;
    }
}

TEST(FixedString, CharEditsAndBoundsCheckedCharAt)
{
    CFixedString255 s(" \tHello,\r\n World! ");
    s.RemoveNonGraphic();
    EXPECT_STREQ(s.c_str(), "Hello,World!");
    s.MakeLowercase();
    EXPECT_STREQ(s.c_str(), "hello,world!");

    CFixedString255 blanks(" \t \t");
    blanks.RemoveNonGraphic();
    EXPECT_TRUE(blanks.IsEmpty());

    CFixedString255 t("abc");
    ASSERT_NE(t.CharAt(2), nullptr);
    EXPECT_EQ(*t.CharAt(2), 'c');
    EXPECT_EQ(*t.CharAt(3), '\0');
    EXPECT_EQ(t.CharAt(4), nullptr);
    EXPECT_EQ(t.CharAt(100000), nullptr);
}

TEST(FixedString, LengthPrefixedConstruction)
{
    const unsigned char pascal[] = {3, 'a', 'b', 'c', 'z'};
    CFixedString255 text;
    EXPECT_STREQ(text.AssignPString(pascal).c_str(), "abc");
    unsigned char full[256];
    full[0] = 255;
    for (int i = 1; i < 256; ++i) full[i] = 'q';
    CFixedString31 small;
    small.AssignPString(full);
    EXPECT_EQ(small.Length(), 31u);
}

}  // namespace
