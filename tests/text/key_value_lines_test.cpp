#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/text/key_value_lines.h"

namespace {

TPooledList<CFixedString255> ListOf(std::initializer_list<const char*> items)
{
    TPooledList<CFixedString255> list;
    for (const char* item : items) list.Append(CFixedString255(item));
    return list;
}

std::vector<std::string> Items(const TPooledList<CFixedString255>& list)
{
    std::vector<std::string> items;
    for (const auto& item : list) items.push_back(item.str());
    return items;
}

TEST(WriteSettingTest, ExactBytes)
{
    CTextBuffer out;
    WriteSetting(out, "linkDepth", 99);
    EXPECT_EQ(out.str(), "linkDepth 99\xA5\x0D");

    out.Clear();
    WriteSetting(out, "offset", -7);
    WriteSetting(out, "agent", "Mozilla/5.0 (X11)");
    WriteSetting(out, "empty", "");
    WriteSetting(out, "none", static_cast<const char*>(nullptr));
    WriteSetting(out, "message", CTextBuffer("Hi,\rsee you\r"));
    EXPECT_EQ(out.str(),
              "offset -7\xA5\r"
              "agent Mozilla/5.0 (X11)\xA5\r"
              "empty \xA5\r"
              "none \xA5\r"
              "message Hi,\rsee you\r\xA5\r");

    out.Clear();
    WriteListSetting(out, "types", ListOf({"a", "b", "c"}));
    WriteListSetting(out, "one", ListOf({"x"}));
    WriteListSetting(out, "none", ListOf({}));
    EXPECT_EQ(out.str(), "types a,b,c\xA5\rone x\xA5\rnone \xA5\r");
}

TEST(DescribeSettingTest, ExactBytes)
{
    CTextBuffer out;
    DescribeSetting(out, "linkDepth", 3);
    DescribeSetting(out, "agent", "Tidewell");
    DescribeSetting(out, "message", CTextBuffer("a\rb"));
    DescribeListSetting(out, "types", ListOf({"html", "css"}));
    EXPECT_EQ(out.str(),
              "\t\tlinkDepth : 3\r\r"
              "\t\tagent : Tidewell\r\r"
              "\t\tmessage : a\rb\r\r"
              "\t\ttypes : html,css\r\r");
}

TEST(ReadSettingTest, RoundTripOfEveryKind)
{
    CTextBuffer file;
    WriteSetting(file, "directoryDepth", 4);
    WriteSetting(file, "linkDepth", 99);
    WriteSetting(file, "agent", "Tidewell/1.0 caf\xC3\xA9");
    WriteSetting(file, "message", CTextBuffer("Dear user,\r\rthe grab ended.\rlinkDepth 5\r"));
    WriteListSetting(file, "types", ListOf({"html", "htm", "css"}));
    WriteListSetting(file, "empty", ListOf({}));
    WriteSetting(file, "last", "");

    CFixedString255 value;
    EXPECT_TRUE(ReadSetting(file, "LINKDEPTH ", value));  // keys are matched ignoring case
    EXPECT_STREQ(value.c_str(), "99");
    EXPECT_TRUE(ReadSetting(file, "directoryDepth ", value));
    EXPECT_STREQ(value.c_str(), "4");
    EXPECT_TRUE(ReadSetting(file, "agent ", value));
    EXPECT_STREQ(value.c_str(), "Tidewell/1.0 caf\xC3\xA9");

    CTextBuffer message;
    EXPECT_TRUE(ReadSetting(file, "message ", message));
    EXPECT_EQ(message.str(), "Dear user,\r\rthe grab ended.\rlinkDepth 5\r");

    TPooledList<CFixedString255> list = ListOf({"old"});
    EXPECT_TRUE(ReadListSetting(file, "types ", kSettingEndMark, list));
    EXPECT_EQ(Items(list), (std::vector<std::string>{"html", "htm", "css"}));
    EXPECT_TRUE(ReadListSetting(file, "empty ", kSettingEndMark, list));
    EXPECT_TRUE(list.IsEmpty());

    EXPECT_TRUE(ReadSetting(file, "last ", value));
    EXPECT_STREQ(value.c_str(), "");
    // Every line read was removed whole.
    EXPECT_EQ(file.str(), "");
}

TEST(ReadSettingTest, KeysAreOnlyRecognisedAtTheStartOfALine)
{
    const std::string original =
        "message Hello\rlinkDepth 5\rbye\xA5\r"
        "note the linkDepth 7 here\xA5\r"
        "maxlinkDepth 8\xA5\r"
        "linkDepth 2\xA5\r";
    CTextBuffer file(original);
    CFixedString255 value;
    EXPECT_TRUE(ReadSetting(file, "linkDepth ", value));
    EXPECT_STREQ(value.c_str(), "2");
    EXPECT_EQ(file.str(),
              "message Hello\rlinkDepth 5\rbye\xA5\r"
              "note the linkDepth 7 here\xA5\r"
              "maxlinkDepth 8\xA5\r");
    // No line of its own is left, so the key is gone.
    EXPECT_FALSE(ReadSetting(file, "linkDepth ", value));

    // A key inside a value is not taken for the setting when the real line is missing.
    CTextBuffer mail("message see linkDepth 5\xA5\r");
    EXPECT_FALSE(ReadSetting(mail, "linkDepth ", value));
    EXPECT_EQ(mail.str(), "message see linkDepth 5\xA5\r");
}

TEST(ReadSettingTest, AShorterKeyDoesNotTakeALongerKeysLine)
{
    CTextBuffer file("linkDepth 3\xA5\rdepth 9\xA5\r");
    CFixedString255 value;
    EXPECT_TRUE(ReadSetting(file, "depth ", value));
    EXPECT_STREQ(value.c_str(), "9");
    EXPECT_EQ(file.str(), "linkDepth 3\xA5\r");
}

TEST(ReadSettingTest, MissingKeyOrEndMarkLeavesTheTextAlone)
{
    struct {
        const char* text;
        const char* key;
    } cases[] = {
        {"linkDepth 3\xA5\r", "agent "},
        {"linkDepth 3", "linkDepth "},            // no end mark
        {"linkDepth 3\xA5", "linkDepth "},        // half an end mark
        {"linkDepth3\xA5\r", "linkDepth "},
        {"", "linkDepth "},
        {"linkDepth 3\xA5\r", ""},
    };
    for (const auto& c : cases) {
        CTextBuffer file(c.text);
        CFixedString255 value("stale");
        EXPECT_FALSE(ReadSetting(file, c.key, value)) << c.text;
        EXPECT_STREQ(value.c_str(), "");
        EXPECT_EQ(file.str(), c.text);

        CTextBuffer text("stale");
        EXPECT_FALSE(ReadSetting(file, c.key, text));
        EXPECT_EQ(text.str(), "");

        TPooledList<CFixedString255> list = ListOf({"kept"});
        EXPECT_FALSE(ReadListSetting(file, c.key, kSettingEndMark, list));
        EXPECT_EQ(Items(list), std::vector<std::string>{"kept"});
        EXPECT_EQ(file.str(), c.text);
    }
    CFixedString255 value;
    CTextBuffer file("a 1\xA5\r");
    EXPECT_FALSE(ReadSetting(file, nullptr, value));
}

TEST(ReadListSettingTest, ItemsAndExactKeys)
{
    struct {
        const char* text;
        const char* key;
        bool found;
        std::vector<std::string> items;
        const char* rest;
    } cases[] = {
        {"types a,b,c\xA5\r", "types ", true, {"a", "b", "c"}, ""},
        {"types a,,c\xA5\r", "types ", true, {"a", "c"}, ""},
        {"types ,\xA5\r", "types ", true, {}, ""},
        {"Types a\xA5\r", "types ", false, {"kept"}, "Types a\xA5\r"},   // exact match only
        {"x 1\xA5\rtypes a b,c\xA5\ry 2\xA5\r", "types ", true, {"a b", "c"}, "x 1\xA5\ry 2\xA5\r"},
    };
    for (const auto& c : cases) {
        CTextBuffer file(c.text);
        TPooledList<CFixedString255> list = ListOf({"kept"});
        EXPECT_EQ(ReadListSetting(file, c.key, kSettingEndMark, list), c.found) << c.text;
        EXPECT_EQ(Items(list), c.items) << c.text;
        EXPECT_EQ(file.str(), c.rest) << c.text;
    }
}

TEST(ReadListSettingTest, AnotherEndMarkEndsTheValueAndTheLineBefore)
{
    CTextBuffer file("x 1\rtypes a,b\ry 2\r");
    TPooledList<CFixedString255> list;
    EXPECT_TRUE(ReadListSetting(file, "types ", "\r", list));
    EXPECT_EQ(Items(list), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(file.str(), "x 1\ry 2\r");
}

TEST(ReadSettingTest, LongValuesAreCutAtWholeCharactersInFixedStrings)
{
    std::string longValue(254, 'x');
    longValue += "\xC3\xA9\xC3\xA9";  // the character at bytes 254-255 does not fit
    CTextBuffer file;
    WriteSetting(file, "name", longValue.c_str());
    CTextBuffer copy(file.View());

    CFixedString255 fixed;
    EXPECT_TRUE(ReadSetting(file, "name ", fixed));
    EXPECT_EQ(fixed.str(), std::string(254, 'x'));

    CTextBuffer whole;
    EXPECT_TRUE(ReadSetting(copy, "name ", whole));
    EXPECT_EQ(whole.str(), longValue);
}

TEST(ReadListSettingTest, LongListsAreNotCut)
{
    TPooledList<CFixedString255> written;
    for (int i = 0; i < 100; ++i) written.Append(CFixedString255(("item" + std::to_string(i)).c_str()));
    CTextBuffer file;
    WriteListSetting(file, "items", written);
    ASSERT_GT(file.Length(), 600);

    TPooledList<CFixedString255> read;
    EXPECT_TRUE(ReadListSetting(file, "items ", kSettingEndMark, read));
    EXPECT_EQ(Items(read), Items(written));
}

}  // namespace
