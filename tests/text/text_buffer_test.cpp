// CTextBuffer: construction, assignment, capacity and growth, appending and
// inserting (also of the buffer's own text), numbers.
#include <cstdint>
#include <limits>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "foundation/text/text_buffer.h"

namespace {

TEST(TextBufferCapacity, AppendingCharsGrowsOnlyWhenOneCharIsLeft)
{
    CTextBuffer text;
    EXPECT_EQ(text.Capacity(), 32000);
    EXPECT_STREQ(text.c_str(), "");
    for (int i = 0; i < 31999; ++i) text.Append('x');
    EXPECT_EQ(text.Length(), 31999);
    EXPECT_EQ(text.Capacity(), 32000);
    text.Append('y');
    EXPECT_EQ(text.Length(), 32000);
    EXPECT_EQ(text.Capacity(), 64000);
    EXPECT_EQ(text.c_str()[31999], 'y');
    EXPECT_EQ(text.c_str()[32000], '\0');
}

TEST(TextBufferCapacity, AssignSizesCapacityInWholeSteps)
{
    struct Case {
        std::int32_t step;
        std::size_t length;
        std::int32_t capacity;
    } cases[] = {
        {32000, 0, 32000},     {32000, 31999, 32000}, {32000, 32000, 64000},
        {32000, 64001, 96000}, {10, 25, 30},          {10, 30, 40},
        {0, 5, 32000},  // a step of 0 falls back to the default
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "step " << c.step << " length " << c.length);
        CTextBuffer text(c.step);
        text.Assign(std::string(c.length, 'a'));
        EXPECT_EQ(text.Length(), static_cast<std::int32_t>(c.length));
        EXPECT_EQ(text.Capacity(), c.capacity);
    }
}

TEST(TextBufferCapacity, GrowthIsGeometric)
{
    // Linear growth by one step would pass through about 125 capacities on
    // the way to 4 MB; doubling needs fewer than ten.
    CTextBuffer text;
    const std::string piece(1000, 'p');
    std::set<std::int32_t> capacities;
    for (int i = 0; i < 4000; ++i) {
        text.Append(piece);
        capacities.insert(text.Capacity());
    }
    EXPECT_EQ(text.Length(), 4000000);
    EXPECT_LT(capacities.size(), 10u);
    EXPECT_LE(text.Capacity(), 2 * text.Length() + 2 * CTextBuffer::kDefaultGrowStep);
}

TEST(TextBufferCapacity, SizesPastTheLimitAreRefused)
{
    CTextBuffer text("abc");
    EXPECT_FALSE(text.Reserve(CTextBuffer::kMaxLength));
    EXPECT_FALSE(text.Reserve(std::numeric_limits<std::int64_t>::max()));
    EXPECT_FALSE(text.Reserve(-1));
    text.AppendBytes("xyz", -3);
    EXPECT_EQ(text.str(), "abc");
    EXPECT_EQ(text.Capacity(), 32000);
    EXPECT_TRUE(text.Reserve(100000));
    EXPECT_GE(text.Capacity() - 1 - text.Length(), 100000);
    EXPECT_EQ(text.str(), "abc");
}

TEST(TextBufferAssign, NamesAndNullTexts)
{
    CTextBuffer text("first");
    text.Name().Assign("label");
    CTextBuffer copy(text);
    EXPECT_EQ(copy.str(), "first");
    EXPECT_STREQ(copy.Name().c_str(), "label");

    CTextBuffer assigned;
    assigned = text;
    EXPECT_STREQ(assigned.Name().c_str(), "label");
    assigned.Assign("other");  // assigning a text empties the name
    EXPECT_STREQ(assigned.Name().c_str(), "");

    assigned.Assign(static_cast<const char*>(nullptr));
    EXPECT_TRUE(assigned.HasBuffer());
    EXPECT_EQ(assigned.Length(), 0);
    assigned.Append("usable");
    EXPECT_EQ(assigned.str(), "usable");
}

TEST(TextBufferAssign, SelfAssignmentKeepsEverything)
{
    CTextBuffer text("keep me");
    text.Name().Assign("n");
    CTextBuffer& alias = text;
    text = alias;
    EXPECT_EQ(text.str(), "keep me");
    EXPECT_STREQ(text.Name().c_str(), "n");
    text.Assign(text.c_str() + 5);  // a pointer into its own text
    EXPECT_EQ(text.str(), "me");
}

TEST(TextBufferAssign, SourceWithoutBufferEmptiesTarget)
{
    CTextBuffer source("moved away");
    CTextBuffer moved(std::move(source));
    EXPECT_FALSE(source.HasBuffer());
    EXPECT_EQ(moved.str(), "moved away");

    CTextBuffer target("old text");
    target = source;
    EXPECT_TRUE(target.HasBuffer());
    EXPECT_EQ(target.str(), "");

    // A target without a buffer becomes a copy.
    source = moved;
    EXPECT_EQ(source.str(), "moved away");

    const CTextBuffer empty(nullptr, nullptr);
    CTextBuffer copyOfEmpty(empty);
    EXPECT_FALSE(copyOfEmpty.HasBuffer());
    EXPECT_STREQ(copyOfEmpty.c_str(), "");
}

TEST(TextBufferAssign, WithoutBufferOnlyAssignmentsAndCharAppendsAct)
{
    const char range[] = "abcdef";
    CTextBuffer both(range + 1, range + 3);
    EXPECT_EQ(both.str(), "bcd");
    CTextBuffer none(range + 3, range + 1);
    EXPECT_FALSE(none.HasBuffer());

    none.Append("text");
    none.InsertAt(0, "x");
    none.ReplaceAll("a", "b");
    EXPECT_FALSE(none.HasBuffer());
    EXPECT_EQ(none.Find("a"), -1);
    EXPECT_FALSE(none.BeginsWithNoCase(""));
    EXPECT_EQ(none.Substring(0, 3), nullptr);

    none.Append('c');
    EXPECT_EQ(none.str(), "c");
}

TEST(TextBufferAppend, OwnTextIsAppendedAndInsertedSafely)
{
    // A small step makes each of these grow, so a stale source pointer shows.
    struct Case {
        const char* name;
        void (*edit)(CTextBuffer&);
        const char* expected;
    } cases[] = {
        {"Append(*this)", [](CTextBuffer& t) { t.Append(t); }, "0123456789abcdef0123456789abcdef"},
        {"Append(c_str())", [](CTextBuffer& t) { t.Append(t.c_str()); }, "0123456789abcdef0123456789abcdef"},
        {"AppendBytes(tail)", [](CTextBuffer& t) { t.AppendBytes(t.c_str() + 10, 6); }, "0123456789abcdefabcdef"},
        {"InsertAt(own)", [](CTextBuffer& t) { t.InsertAt(2, t.c_str() + 8); }, "0189abcdef23456789abcdef"},
        {"Prepend(own)", [](CTextBuffer& t) { t.Prepend(t.c_str()); }, "0123456789abcdef0123456789abcdef"},
        {"ReplaceRange(own)", [](CTextBuffer& t) { t.ReplaceRange(0, 0, t.c_str()); }, "0123456789abcdef123456789abcdef"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CTextBuffer text(17);
        text.Assign("0123456789abcdef");
        ASSERT_EQ(text.Capacity(), 17);
        c.edit(text);
        EXPECT_EQ(text.str(), c.expected);
    }
}

TEST(TextBufferAppend, InsertAtChecksItsIndex)
{
    struct Case {
        std::int32_t index;
        const char* text;
        bool inserted;
        const char* expected;
    } cases[] = {
        {0, "<", true, "<abc"},  {3, ">", true, "abc>"}, {1, "-", true, "a-bc"},
        {4, "!", false, "abc"},  {-1, "!", false, "abc"}, {1, "", false, "abc"},
        {1, nullptr, false, "abc"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        CTextBuffer text("abc");
        EXPECT_EQ(text.InsertAt(c.index, c.text), c.inserted);
        EXPECT_EQ(text.str(), c.expected);
    }
}

TEST(TextBufferAppend, BytesKeepNULsAndLength)
{
    CTextBuffer text;
    text.AppendBytes("a\0b", 3).Append(std::string_view("\0c", 2));
    EXPECT_EQ(text.Length(), 5);
    EXPECT_EQ(text.View(), std::string_view("a\0b\0c", 5));
    CTextBuffer copy(text);
    EXPECT_EQ(copy, text);
}

TEST(TextBufferNumbers, ExtremesFormatFully)
{
    struct Case {
        std::int64_t value;
        const char* text;
    } cases[] = {
        {0, "0"},
        {-12, "-12"},
        {std::numeric_limits<std::int32_t>::min(), "-2147483648"},
        {std::numeric_limits<std::int32_t>::max(), "2147483647"},
        {std::numeric_limits<std::int64_t>::min(), "-9223372036854775808"},
        {std::numeric_limits<std::int64_t>::max(), "9223372036854775807"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        char out[32];
        CTextBuffer::FormatInt64(c.value, out, sizeof out);
        EXPECT_STREQ(out, c.text);
        CTextBuffer text("n=");
        text.AppendNumber(c.value);
        EXPECT_EQ(text.str(), std::string("n=") + c.text);
        text.AssignNumber(c.value);
        EXPECT_EQ(text.str(), c.text);
    }
    CTextBuffer narrow;
    narrow.AppendNumber(std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(narrow.str(), "-2147483648");
}

TEST(TextBufferNumbers, FormatStaysInsideItsBuffer)
{
    char out[4] = {'x', 'x', 'x', 'x'};
    CTextBuffer::FormatInt64(-12345, out, sizeof out);
    EXPECT_STREQ(out, "-12");
    CTextBuffer::FormatInt64(7, out, 1);
    EXPECT_STREQ(out, "");
}

}  // namespace
