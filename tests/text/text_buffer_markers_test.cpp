// CTextBuffer operations between markers: extract, cut, delete and replace a
// span, and the removal of every span inside a region.
#include <string>

#include <gtest/gtest.h>

#include "foundation/text/text_buffer.h"

namespace {

enum class Op {
    Extract, ExtractNoCase, ExtractSpanNoCase, Cut, CutNoCase, CutInnerNoCase,
    DeleteSpan, DeleteSpanNoCase, DeleteInnerNoCase, ReplaceInnerNoCase,
};

bool RunMarkerOp(Op op, CTextBuffer& text, const char* begin, const char* end, CTextBuffer& out)
{
    switch (op) {
    case Op::Extract: return text.ExtractBetween(begin, end, out);
    case Op::ExtractNoCase: return text.ExtractBetweenNoCase(begin, end, out);
    case Op::ExtractSpanNoCase: return text.ExtractSpanNoCase(begin, end, out);
    case Op::Cut: return text.CutBetween(begin, end, out);
    case Op::CutNoCase: return text.CutBetweenNoCase(begin, end, out);
    case Op::CutInnerNoCase: return text.CutInnerNoCase(begin, end, out);
    case Op::DeleteSpan: return text.DeleteSpan(begin, end);
    case Op::DeleteSpanNoCase: return text.DeleteSpanNoCase(begin, end);
    case Op::DeleteInnerNoCase: return text.DeleteInnerNoCase(begin, end);
    case Op::ReplaceInnerNoCase: return text.ReplaceInnerNoCase(begin, end, "NEW");
    }
    return false;
}

TEST(TextBufferMarkers, EachOperationTakesAndLeavesItsPart)
{
    struct Case {
        Op op;
        const char* text;
        const char* begin;
        const char* end;
        bool found;
        const char* out;
        const char* after;
    } cases[] = {
        {Op::Extract, "x[]", "[", "]", true, "", "x[]"},
        {Op::Extract, "x<a>in</a>y<a>2</a>", "<a>", "</a>", true, "in", "x<a>in</a>y<a>2</a>"},
        {Op::Extract, "x<A>in</a>y", "<a>", "</a>", false, "", "x<A>in</a>y"},
        {Op::Extract, "]x[", "[", "]", false, "", "]x["},
        {Op::Extract, "a\"b\"", "\"", "\"", true, "b", "a\"b\""},  // the end is searched after the begin
        {Op::ExtractNoCase, "<TITLE>Hi</title>", "<title>", "</TITLE>", true, "Hi", "<TITLE>Hi</title>"},
        {Op::ExtractSpanNoCase, "x<TITLE>Hi</title>y", "<title>", "</TITLE>", true, "<TITLE>Hi</title>",
         "x<TITLE>Hi</title>y"},
        {Op::Cut, "x<a>in</a>y", "<a>", "</a>", true, "in", "xy"},
        {Op::Cut, "x<a>in", "<a>", "</a>", false, "", "x<a>in"},
        {Op::CutNoCase, "key value\xA5\rKEY2 v2\xA5\r", "key2 ", "\xA5\r", true, "v2", "key value\xA5\r"},
        {Op::CutInnerNoCase, "x<A>in</A>y", "<a>", "</a>", true, "in", "x<A></A>y"},
        {Op::DeleteSpan, "x<a>in</a>y", "<a>", "</a>", true, "", "xy"},
        {Op::DeleteSpanNoCase, "x<A>in</a>y", "<a>", "</A>", true, "", "xy"},
        {Op::DeleteInnerNoCase, "x<A>in</a>y", "<a>", "</A>", true, "", "x<A></a>y"},
        {Op::ReplaceInnerNoCase, "<head>old</HEAD>", "<HEAD>", "</head>", true, "", "<head>NEW</HEAD>"},
        {Op::ReplaceInnerNoCase, "<head>old", "<HEAD>", "</head>", false, "", "<head>old"},
        {Op::DeleteSpan, "abc", nullptr, "c", false, "", "abc"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "op " << static_cast<int>(c.op) << " on " << c.text);
        CTextBuffer text(c.text);
        CTextBuffer out("stale");
        EXPECT_EQ(RunMarkerOp(c.op, text, c.begin, c.end, out), c.found);
        EXPECT_EQ(text.str(), c.after);
        if (c.op <= Op::CutInnerNoCase) {
            EXPECT_EQ(out.str(), c.out);
        }
    }
}

TEST(TextBufferMarkers, FixedStringOutsAreCutAt255)
{
    const std::string inner(300, 'v');
    CTextBuffer text(("<v>" + inner + "</v>tail").c_str());
    CFixedString255 out("stale");
    EXPECT_TRUE(text.ExtractBetween("<v>", "</v>", out));
    EXPECT_EQ(out.str(), inner.substr(0, 255));
    EXPECT_TRUE(text.ExtractBetweenNoCase("<V>", "</V>", out));
    EXPECT_EQ(out.Length(), 255u);
    EXPECT_TRUE(text.CutBetweenNoCase("<V>", "</V>", out));
    EXPECT_EQ(out.str(), inner.substr(0, 255));
    EXPECT_EQ(text.str(), "tail");
    EXPECT_FALSE(text.CutBetween("<v>", "</v>", out));
    EXPECT_EQ(out.str(), "");
}

TEST(TextBufferMarkers, CuttingIntoItselfKeepsTheInnerText)
{
    CTextBuffer text("x<a>in</a>y");
    EXPECT_TRUE(text.CutBetween("<a>", "</a>", text));
    EXPECT_EQ(text.str(), "in");
}

TEST(TextBufferRegion, RemovesEverySpanInsideTheRegionOnly)
{
    struct Case {
        const char* name;
        const char* text;
        bool found;
        const char* after;
    } cases[] = {
        {"spans inside the body go, others stay",
         "<head><script>h</script></head><body>x<script>1</script>y<SCRIPT src=a>2</Script>z</body><script>t</script>",
         true, "<head><script>h</script></head><body>xyz</body><script>t</script>"},
        {"no region", "<BODY><script>1</script></BODY>", false, "<BODY><script>1</script></BODY>"},
        {"the region end is searched after its begin", "</body><body>a<script></script>b</body>", true,
         "</body><body>ab</body>"},
        {"a span without its end stays", "<body>a<script>b</body>", true, "<body>a<script>b</body>"},
        {"an end past the region does not close a span", "<body>a<script>b</body><script>c</script>", true,
         "<body>a<script>b</body><script>c</script>"},
        {"later spans stay after one without an end",
         "<body>1<script>a</script>2<script>3</body>", true, "<body>12<script>3</body>"},
        {"the write-back goes where the region was found",
         "<!-- <BODY --><body>a<script>x</script>b</body>", true, "<!-- <BODY --><body>ab</body>"},
        {"a begin marker formed by a removal is removed too",
         "<body><scr<script>x</script>ipt>y</script>z</body>", true, "<body>z</body>"},
        {"across two removals",
         "<body><sc<script>1</script>r<script>2</script>ipt>3</script>4</body>", true, "<body>4</body>"},
        {"adjacent spans", "<body><script>1</script><script>2</script></body>!", true, "<body></body>!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CTextBuffer text(c.text);
        EXPECT_EQ(text.DeleteAllBetweenInRegion("<script", "</script>", "<body", "</body>"), c.found);
        EXPECT_EQ(text.str(), c.after);
        EXPECT_EQ(text.Length(), static_cast<std::int32_t>(std::char_traits<char>::length(c.after)));
    }
}

TEST(TextBufferRegion, MatchesRepeatedSearchFromTheStart)
{
    // The one-pass removal must give what deleting the first span again and
    // again gives, for markers that overlap themselves and each other.
    const char* pieces[] = {"<", "<s", "<ss", "s", ">", "s>", "x", "<s<", ">>"};
    std::uint32_t seed = 7;
    for (int round = 0; round < 3000; ++round) {
        std::string body;
        for (int i = 0; i < 12; ++i) {
            seed = seed * 1664525u + 1013904223u;
            body += pieces[(seed >> 16) % (sizeof pieces / sizeof pieces[0])];
        }
        // Reference: repeatedly delete the first "<s" through the next "s>".
        std::string expected = body;
        while (true) {
            auto open = expected.find("<s");
            if (open == std::string::npos) break;
            auto close = expected.find("s>", open + 2);
            if (close == std::string::npos) break;
            expected.erase(open, close + 2 - open);
        }
        CTextBuffer text(("[" + body + "]").c_str());
        ASSERT_TRUE(text.DeleteAllBetweenInRegion("<s", "s>", "[", "]"));
        ASSERT_EQ(text.str(), "[" + expected + "]") << body;
    }
}

}  // namespace
