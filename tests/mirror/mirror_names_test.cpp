#include "foundation/mirror/mirror_names.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(MirrorNames, DecodedComponentsNeverLeaveTheirFolder)
{
    std::string accented;
    for (int i = 0; i < 150; ++i) accented += "\xC3\xA9";  // 300 bytes
    std::string nulls;
    for (int i = 0; i < 100; ++i) nulls += "%00";
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
        {std::string(300, 'a'), std::string(255, 'a')},
        {accented, accented.substr(0, 254)},      // never half a character
        {nulls, nulls.substr(0, 255)},            // 85 whole escapes
        {std::string(254, 'b') + "%00", std::string(254, 'b')},  // never half an escape
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
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SafeMirrorName(c.name), c.expected) << c.name;
    }
}

}  // namespace
