// Writing value trees as XML and reading them back, in memory and on disk.
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "tests/plist/plist_test_folder.h"
#include "platform/plist/plist_xml.h"

namespace {

PlistValue Nested(int depth)
{
    PlistValue value = PlistValue::MakeString("core");
    for (int i = 0; i < depth; ++i) {
        PlistValue array = PlistValue::MakeArray();
        array.Append(std::move(value));
        value = std::move(array);
    }
    return value;
}

TEST(PlistWrite, ValuesSurviveAWriteAndAParse)
{
    PlistValue agents = PlistValue::MakeDictionary();
    agents.Set("Zeta Browser", PlistValue::MakeString("Zeta/1.0"));
    agents.Set("Alpha Browser", PlistValue::MakeString("Alpha/2.0 (X11; Linux x86_64)"));
    agents.Set("Zeta Browser", PlistValue::MakeString("Zeta/1.1"));  // replaced in place

    PlistValue mixed = PlistValue::MakeArray();
    mixed.Append(PlistValue::MakeInteger(std::numeric_limits<std::int64_t>::min()));
    mixed.Append(PlistValue::MakeInteger(std::numeric_limits<std::int64_t>::max()));
    mixed.Append(PlistValue::MakeReal(0.1));
    mixed.Append(PlistValue::MakeReal(-1e300));
    mixed.Append(PlistValue::MakeBoolean(true));
    mixed.Append(PlistValue::MakeDate(1700000000));
    mixed.Append(PlistValue::MakeData(std::string("\0\xFF<&>", 5)));
    mixed.Append(PlistValue::MakeDictionary());
    mixed.Append(PlistValue::MakeArray());

    struct Case {
        const char* name;
        PlistValue value;
    } cases[] = {
        {"plain text", PlistValue::MakeString("Tidewell")},
        {"empty text", PlistValue::MakeString("")},
        {"markup characters", PlistValue::MakeString("<a href=\"x?a=1&b=2\">'q'</a> ]]>")},
        {"unicode", PlistValue::MakeString("na\xC3\xAFve \xE2\x80\x94 \xF0\x9F\x8C\x8A")},
        {"surrounding blanks and line ends", PlistValue::MakeString("  a\tb\r\nc  ")},
        {"string array", PlistValue::MakeStringArray({"http://a.example/", "", "http://b.example/x?y"})},
        {"dictionary in order", agents},
        {"mixed kinds", mixed},
        {"nesting at the limit", Nested(kPlistMaxDepth)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::optional<std::string> xml = PlistToXml(c.value);
        ASSERT_TRUE(xml.has_value());
        EXPECT_EQ(xml->rfind("<?xml", 0), 0u);
        std::optional<PlistValue> back = ParsePlist(*xml);
        ASSERT_TRUE(back.has_value()) << *xml;
        EXPECT_TRUE(*back == c.value) << *xml;
    }
    EXPECT_EQ(agents.KeyAt(0), "Zeta Browser");
    EXPECT_EQ(agents.ItemAt(0).Text(), "Zeta/1.1");
}

TEST(PlistWrite, ValuesThatXmlCannotCarryAreRefused)
{
    PlistValue keyWithNul = PlistValue::MakeDictionary();
    keyWithNul.Set(std::string("a\0b", 3), PlistValue::MakeString("x"));
    PlistValue nulInArray = PlistValue::MakeArray();
    nulInArray.Append(PlistValue::MakeString(std::string("a\0b", 3)));

    struct Case {
        const char* name;
        PlistValue value;
    } cases[] = {
        {"text with a NUL", PlistValue::MakeString(std::string("a\0b", 3))},
        {"key with a NUL", keyWithNul},
        {"NUL inside an array", nulInArray},
        {"date beyond 2069", PlistValue::MakeDate(4000000000LL)},
        {"nesting beyond the limit", Nested(kPlistMaxDepth + 1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(PlistToXml(c.value).has_value());
    }
}

class PlistFiles : public PlistTestFolder {};

TEST_F(PlistFiles, FileStatusesTellMissingFromUnreadableFromMalformed)
{
    Put("good.plist", *PlistToXml(PlistValue::MakeStringArray({"a", "b"})));
    Put("bad.plist", "<plist><dict><key>x</key>");
    std::filesystem::create_directory(mFolder / "folder.plist");
    struct Case {
        const char* name;
        int status;
    } cases[] = {
        {"good.plist", 0},
        {"missing.plist", -ENOENT},
        {"bad.plist", kPlistMalformed},
        {"folder.plist", -EISDIR},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PlistValue value;
        EXPECT_EQ(ReadPlistFile(PathOf(c.name), value), c.status);
    }
    PlistValue value;
    ASSERT_EQ(ReadPlistFile(PathOf("good.plist"), value), 0);
    EXPECT_EQ(value.StringItems(), (std::vector<std::string>{"a", "b"}));
}

TEST_F(PlistFiles, WriteReplacesTheFileWhole)
{
    Put("list.plist", std::string(10000, 'x'));
    PlistValue value = PlistValue::MakeStringArray({"short"});
    ASSERT_EQ(WritePlistFile(PathOf("list.plist"), value, 0644), 0);
    PlistValue back;
    ASSERT_EQ(ReadPlistFile(PathOf("list.plist"), back), 0);
    EXPECT_TRUE(back == value);
    EXPECT_EQ(Get("list.plist"), *PlistToXml(value));

    // A value that cannot be written leaves the old file as it was.
    EXPECT_EQ(WritePlistFile(PathOf("list.plist"), PlistValue::MakeString(std::string("\0", 1)), 0644),
              kPlistMalformed);
    EXPECT_EQ(Get("list.plist"), *PlistToXml(value));
    EXPECT_EQ(EntryCount(), 1u);
}

}  // namespace
