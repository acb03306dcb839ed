#include "foundation/mirror/mirror_names.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>

namespace {

TEST(MirrorNames, DecodedComponentsNeverLeaveTheirFolder)
{
    struct Case {
        std::string segment;
        std::string expected;
    };
    const Case cases[] = {
        {"plain", "plain"},
        {"with%20blank", "with blank"},
        {".", "%2E"},
        {"..", "%2E%2E"},
        {"%2e", "%2E"},
        {"%2e%2e", "%2E%2E"},
        {".%2E", "%2E%2E"},
        {"%2E%2E%2F%2E%2E", "..%2F.."},  // holds no '/', so it is just a name
        {"...", "..."},
        {".hidden", ".hidden"},
        {"a%2Fb", "a%2Fb"},
        {"%2f", "%2F"},
        {"%00", "%00"},
        {"x%00y", "x%00y"},
        {"%C3%A9t%C3%A9", "\xC3\xA9t\xC3\xA9"},
        {"caf%E9", "caf%E9"},                     // not UTF-8: stays escaped
        {"\xFF\xFE", "%FF%FE"},                   // raw bytes that are not UTF-8 too
        {"%ED%A0%80", "%ED%A0%80"},               // an encoded surrogate
        {"%C0%AE%C0%AE", "%C0%AE%C0%AE"},         // overlong dots
        {"%zz%4", "%zz%4"},                       // malformed escapes stay as written
        {"100%", "100%"},
        {"%25", "%"},
        {"a%0Db%0Ac%09d", "a%0Db%0Ac%09d"},     // control characters stay escaped
        {"%01%1F%7F%20", "%01%1F%7F "},
        {"", ""},
    };
    for (const Case& c : cases) {
        std::string name = MirrorNameFromSegment(c.segment);
        EXPECT_EQ(name, c.expected) << c.segment;
        EXPECT_LE(name.size(), kMirrorNameByteLimit);
        EXPECT_EQ(name.find('/'), std::string::npos);
        EXPECT_EQ(name.find('\0'), std::string::npos);
        EXPECT_NE(name, ".");
        EXPECT_NE(name, "..");
    }
}

// Names past 255 bytes keep whole characters and escapes, end with a digest
// of the whole name (and their extension), so names that share their first
// 255 bytes stay apart; a name already cut is left as it is.
TEST(MirrorNames, LongNamesAreCutWithADigestOfTheWholeName)
{
    std::string accented;
    for (int i = 0; i < 150; ++i) accented += "\xC3\xA9";  // 300 bytes
    std::string nulls;
    for (int i = 0; i < 100; ++i) nulls += "%00";
    const std::string longA(300, 'a');
    struct Case {
        std::string segment;
        std::string keptPrefix;  // the name starts with it
        std::string extension;   // and ends with it, after the digest
    };
    const Case cases[] = {
        {longA, std::string(242, 'a'), ""},
        {longA + "b", std::string(242, 'a'), ""},  // same first 255 bytes as the row above
        {std::string(300, 'c') + ".css", std::string(238, 'c'), ".css"},
        {std::string(300, 'c') + ".css%3Fv=1", std::string(200, 'c'), ".css?v=1"},
        {accented, accented.substr(0, 242), ""},
        {nulls, nulls.substr(0, 240), ""},
        {std::string(250, 'b') + "%00%0A%00", std::string(242, 'b'), ""},
    };
    const std::regex cutName("(.*)~[0-9a-f]{12}(\\..*)?");
    std::set<std::string> names;
    for (const Case& c : cases) {
        const std::string name = MirrorNameFromSegment(c.segment);
        std::smatch parts;
        ASSERT_TRUE(std::regex_match(name, parts, cutName)) << name;
        EXPECT_LE(name.size(), kMirrorNameByteLimit) << c.segment;
        EXPECT_GE(name.size(), kMirrorNameByteLimit - 3) << c.segment;  // at most one escape short
        EXPECT_TRUE(name.starts_with(c.keptPrefix)) << name;
        EXPECT_EQ(parts[2].str(), c.extension) << name;
        const std::string stem = parts[1].str();
        EXPECT_TRUE(stem.empty() || (static_cast<unsigned char>(stem.back()) & 0xC0) != 0xC0) << "half a character";
        EXPECT_EQ(stem.find('%', stem.size() > 2 ? stem.size() - 2 : 0), std::string::npos) << "half an escape";
        EXPECT_EQ(SafeMirrorName(name), name) << "cut once";
        EXPECT_TRUE(names.insert(name).second) << name;
    }
    EXPECT_EQ(MirrorNameFromSegment(longA), MirrorNameFromSegment(longA)) << "the same name every time";
}

TEST(MirrorNames, DecodedFileNamesAreOnlyMadeSafe)
{
    struct Case {
        std::string name;
        std::string expected;
    };
    const Case cases[] = {
        {"index.html", "index.html"},
        {"%41.html", "%41.html"},  // already decoded: not decoded twice
        {"..", "%2E%2E"},
        {"../../etc/passwd", "..%2F..%2Fetc%2Fpasswd"},
        {std::string("a\0b", 3), "a%00b"},
        {"page?q=a/b", "page?q=a%2Fb"},
        {"line\r\nbreak\t.html", "line%0D%0Abreak%09.html"},
        {"del\x7F", "del%7F"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SafeMirrorName(c.name), c.expected) << c.name;
    }
}

}  // namespace
