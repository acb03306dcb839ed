// Text conversions and path names.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#include "foundation/system/path_names.h"
#include "foundation/system/text_conversions.h"
#include "tests/support/temp_dir.h"

namespace {

TEST(TextConversions, LengthPrefixedTextIsCutOnCharacterBoundaries)
{
    struct Row {
        std::string text;
        std::size_t length;  // bytes kept
    } rows[] = {
        {"", 0},
        {"Tidewell", 8},
        {std::string(255, 'a'), 255},
        {std::string(300, 'a'), 255},
        {std::string(254, 'a') + "\xC3\xA9", 254},  // é would straddle the limit
        {std::string(253, 'a') + "\xC3\xA9", 255},
        {std::string(253, 'a') + "\xF0\x9F\x98\x80", 253},
    };
    for (const Row& row : rows) {
        unsigned char pstring[256];
        std::memset(pstring, 0xEE, sizeof pstring);
        CStringToPString(row.text.c_str(), pstring);
        ASSERT_EQ(pstring[0], row.length) << row.text.size();
        EXPECT_EQ(std::string(reinterpret_cast<char*>(pstring + 1), pstring[0]), row.text.substr(0, row.length));
        char back[256];
        PStringToCString(pstring, back);
        EXPECT_EQ(std::string(back), row.text.substr(0, row.length));
    }
    unsigned char pstring[256];
    CStringToPString(nullptr, pstring);
    EXPECT_EQ(pstring[0], 0);
    char text[256] = "x";
    PStringToCString(nullptr, text);
    EXPECT_STREQ(text, "");
}

TEST(TextConversions, UnicodeRoundTripsAndMarksBrokenInput)
{
    struct Row {
        std::string utf8;
        std::u16string utf16;
        bool roundTrips;
    } rows[] = {
        {"", u"", true},
        {"abc", u"abc", true},
        {"caf\xC3\xA9", u"caf\u00E9", true},
        {"\xE2\x82\xAC", u"\u20AC", true},
        {"\xF0\x9F\x98\x80", u"\U0001F600", true},       // surrogate pair
        {"a\xFF" "b", u"a\uFFFD" "b", false},             // stray byte
        {"\xC0\xAF", u"\uFFFD\uFFFD", false},            // overlong '/'
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD", false},  // encoded surrogate
        {"\xE2\x82", u"\uFFFD\uFFFD", false},            // cut short
    };
    for (const Row& row : rows) {
        EXPECT_EQ(CStringToUnicode(row.utf8), row.utf16) << row.utf8;
        if (row.roundTrips) {
            EXPECT_EQ(UnicodeToCString(row.utf16), row.utf8);
        }
    }
    EXPECT_EQ(UnicodeToCString(std::u16string(1, char16_t(0xD800)) + u"x"), "\xEF\xBF\xBDx");
    EXPECT_EQ(UnicodeToCString(std::u16string(1, char16_t(0xDC00))), "\xEF\xBF\xBD");
}

TEST(PathNames, ColonAndSlashFormsConvertBothWays)
{
    struct Row {
        const char* posix;
        const char* colon;
    } rows[] = {
        {"/", "/:"},
        {"/home", "/:home"},
        {"/home/user/Sites/index.html", "/:home:user:Sites:index.html"},
        {"/a/time 10:30/b", "/:a:time 10/30:b"},
        {"relative/file", ":relative:file"},
        {"file", "file"},
    };
    for (const Row& row : rows) {
        CFixedString255 path(row.posix);
        POSIXPathToHFSPath(path);
        EXPECT_STREQ(path.c_str(), row.colon) << row.posix;
        char back[256];
        EXPECT_EQ(HFSPathToPOSIXPath(row.colon, back, sizeof back), kSysNoError);
        EXPECT_STREQ(back, row.posix) << row.colon;
    }
    // A colon path from the original program names its own volume first.
    char posix[64];
    EXPECT_EQ(HFSPathToPOSIXPath("Old Disk:Users:me:Sites:", posix, sizeof posix), kSysNoError);
    EXPECT_STREQ(posix, "/Users/me/Sites");

    char small[8] = "garbage";
    EXPECT_EQ(HFSPathToPOSIXPath("/:home:someone", small, sizeof small), kSysBadParameter);
    EXPECT_STREQ(small, "");
    EXPECT_EQ(HFSPathToPOSIXPath(nullptr, posix, sizeof posix), kSysBadParameter);

    std::string deep = "/" + std::string(200, 'a') + "/" + std::string(60, 'b');
    CFixedString255 tooLong(deep.c_str());
    ASSERT_EQ(tooLong.Length(), 255u);
    std::string before = tooLong.c_str();
    POSIXPathToHFSPath(tooLong);  // "/:" + ... would not fit
    EXPECT_EQ(std::string(tooLong.c_str()), before);
}

TEST(PathNames, NamesAndEnclosingFolders)
{
    testsupport::TempDir folder;
    std::string file = folder.Write("outer/inner/page.html", "x");
    ASSERT_EQ(::symlink((folder.Path() + "/outer").c_str(), folder.File("link").c_str()), 0);

    std::vector<std::string> expected{"/"};
    char resolved[PATH_MAX];
    ASSERT_NE(::realpath(folder.Path().c_str(), resolved), nullptr);
    for (std::string_view rest = resolved; !rest.empty();) {
        std::size_t slash = rest.find('/');
        std::string_view name = rest.substr(0, slash);
        rest.remove_prefix(slash == std::string_view::npos ? rest.size() : slash + 1);
        if (!name.empty()) expected.emplace_back(name);
    }
    expected.push_back("outer");
    expected.push_back("inner");

    for (const std::string& path : {file, folder.File("link/inner/page.html")}) {
        TPooledList<CFixedString255> names;
        names.Append(CFixedString255("stale"));
        ASSERT_EQ(ListPathComponents(path.c_str(), names), kSysNoError) << path;
        std::vector<std::string> got;
        for (const CFixedString255& name : names) got.emplace_back(name.c_str());
        EXPECT_EQ(got, expected) << path;
    }

    TPooledList<CFixedString255> names;
    names.Append(CFixedString255("stale"));
    EXPECT_EQ(ListPathComponents(folder.File("outer/missing.html").c_str(), names), kSysFileNotFound);
    EXPECT_EQ(names.Count(), 0);
    EXPECT_EQ(ListPathComponents("/", names), kSysNoError);
    EXPECT_EQ(names.Count(), 0) << "the root has no enclosing folder";

    struct Row {
        const char* path;
        const char* name;
    } rows[] = {{"/a/b/page.html", "page.html"}, {"/a/b/", "b"}, {"/", "/"}, {"page", "page"}, {"", ""}};
    for (const Row& row : rows) EXPECT_EQ(CopyRefName(row.path), row.name) << row.path;
    EXPECT_EQ(CopyRefName(nullptr), "");
    EXPECT_FALSE(IsPackage(folder.Path().c_str()));
}

}  // namespace
