#include "engine/cookies/cookie_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <sstream>
#include <string>

#include "engine/cookies/cookie_store.h"
#include "platform/plist/plist_xml.h"
#include "tests/support/temp_dir.h"

namespace {

constexpr std::int64_t kNow = 1700000000;  // 2023-11-14, the clock of these tests

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

CCookie MakeCookie(std::string name, std::string value, std::string domain, std::string path, std::string expires,
                   std::int64_t expiry)
{
    CCookie cookie;
    cookie.mName = std::move(name);
    cookie.mValue = std::move(value);
    cookie.mDomain = std::move(domain);
    cookie.mPath = std::move(path);
    cookie.mExpires = std::move(expires);
    cookie.mExpirySeconds = expiry;
    return cookie;
}

// The store that tests/cookies/expected_cookies.plist holds.
CCookieStore ExpectedStore()
{
    CCookieStore store;
    store.StoreResponseCookie(MakeCookie("sid", "abc=123", "127.0.0.1", "/", "Mon, 01 Jan 2100 00:00:00 GMT",
                                         4102444800));
    store.StoreResponseCookie(MakeCookie("pref", "<a&b> \xC3\xA9t\xC3\xA9", ".example.com", "/shop",
                                         "Wed, 01 Mar 2045 12:00:00 GMT", 2371982400));
    store.StoreResponseCookie(MakeCookie("theme", "dark", "www.example.com", "/", "Thu, 01 Jan 2099 00:00:00 GMT",
                                         4070908800));
    return store;
}

std::string ExpectedFilePath() { return std::string(TIDEWELL_SOURCE_DIR) + "/tests/cookies/expected_cookies.plist"; }

TEST(CookieFile, WritesTheExpectedXmlAndReadsItBack)
{
    testsupport::TempDir folder;
    CFileRef file(folder.File("127.0.0.1-8080.cookies.plist"));
    CCookieStore store = ExpectedStore();
    ASSERT_EQ(WritePropertyListFile(store.CopyAsArray(), file).Code(), 0);
    EXPECT_EQ(ReadBytes(file.Path()), ReadBytes(ExpectedFilePath()));
    struct stat info;
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 077, 0u);  // cookies are the user's secrets

    std::optional<PlistValue> plist = ReadPropertyListFile(file);
    ASSERT_TRUE(plist.has_value());
    CCookieStore loaded;
    loaded.AddFromArray(*plist, kNow);
    const std::vector<CCookieStore::Entry> entries = loaded.Entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(loaded.CountCookies(), 3);
    const CCookie& sid = entries[0].cookies.at(0);
    EXPECT_EQ(sid.mName, "sid");
    EXPECT_EQ(sid.mValue, "abc=123");
    EXPECT_EQ(sid.mDomain, "127.0.0.1");
    EXPECT_EQ(sid.mPath, "/");
    EXPECT_EQ(sid.mExpires, "Mon, 01 Jan 2100 00:00:00 GMT");
    EXPECT_EQ(sid.mExpirySeconds, 4102444800);  // past 2040: 64 bits on both sides
    EXPECT_EQ(entries[0].cookies.at(1).mName, "theme");
    EXPECT_EQ(entries[1].cookies.at(0).mValue, "<a&b> \xC3\xA9t\xC3\xA9");

    // Writing what was read gives the same bytes again.
    CFileRef again(folder.File("again.plist"));
    ASSERT_EQ(WritePropertyListFile(loaded.CopyAsArray(), again).Code(), 0);
    EXPECT_EQ(ReadBytes(again.Path()), ReadBytes(ExpectedFilePath()));
}

TEST(CookieFile, ReaderKeepsOnlyWellFormedLiveCookies)
{
    const std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<array>\n";
    const std::string tail = "</array>\n</plist>\n";
    auto element = [](const std::string& name, const std::string& value, const std::string& path,
                      const std::string& expiry) {
        return "<array><string>" + name + "</string><string>" + value + "</string><string>h.example</string><string>" +
               path + "</string><string>text</string>" + expiry + "</array>\n";
    };
    // 1904-based seconds of kNow + 1 hour and kNow - 1 hour.
    const std::string live = "<integer>" + std::to_string(kNow + 3600 + 2082844800) + "</integer>";
    const std::string dead = "<integer>" + std::to_string(kNow - 3600 + 2082844800) + "</integer>";
    const std::string body =
        element("keep", "1", "/", live) +
        element("expired", "1", "/", dead) +
        element("keep", "2", "/", live) +                      // same name, path and domain: dropped
        element("keep", "3", "/other", live) +                 // another path: a list of its own
        element("textExpiry", "1", "/", "<string>99999999999</string>") +
        element("realExpiry", "1", "/", "<real>9999999999.0</real>") +
        "<array><string>five</string><string>1</string><string>h</string><string>/</string>" + live + "</array>\n" +
        "<array><string>seven</string><string>1</string><string>h</string><string>/</string><string>x</string>" +
        live + "<string>extra</string></array>\n" +
        "<array><integer>1</integer><string>1</string><string>h</string><string>/</string><string>x</string>" + live +
        "</array>\n" +
        "<string>not an array</string>\n<dict/>\n" +
        element("line\r\nbreak", "va&#13;&#10;lue\n", "/", live) +
        element("huge", "1", "/", "<integer>-9223372036854775808</integer>");
    testsupport::TempDir folder;
    std::string path = folder.Write("cookies.plist", head + body + tail);

    std::optional<PlistValue> plist = ReadPropertyListFile(CFileRef(path));
    ASSERT_TRUE(plist.has_value());
    CCookieStore store;
    store.AddFromArray(*plist, kNow);
    const std::vector<CCookieStore::Entry> entries = store.Entries();
    ASSERT_EQ(entries.size(), 2u);
    const CCookieList& root = entries[0].cookies;
    ASSERT_EQ(root.size(), 2u);
    EXPECT_EQ(root[0].mName, "keep");
    EXPECT_EQ(root[0].mValue, "1");
    EXPECT_EQ(root[1].mName, "linebreak");
    EXPECT_EQ(root[1].mValue, "value");
    EXPECT_EQ(entries[1].path, "/other");
    EXPECT_EQ(entries[1].cookies.at(0).mValue, "3");
}

TEST(CookieFile, MissingOrForeignFilesReadAsNoCookies)
{
    testsupport::TempDir folder;
    EXPECT_FALSE(ReadPropertyListFile(CFileRef(folder.File("missing.plist"))).has_value());
    EXPECT_FALSE(ReadPropertyListFile(CFileRef(folder.Write("junk.plist", "not a property list"))).has_value());
    EXPECT_FALSE(ReadPropertyListFile(CFileRef()).has_value());
    // A NUL byte in a text is refused, not handed to the parser.
    EXPECT_FALSE(ReadPropertyListFile(CFileRef(folder.Write(
        "nul.plist", std::string("<plist version=\"1.0\"><array><array><string>a\0b</string></array></array></plist>",
                                 79)))).has_value());

    std::optional<PlistValue> dictionary = ReadPropertyListFile(CFileRef(folder.Write(
        "dict.plist", "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>a</key><string>b</string></dict>"
                      "</plist>")));
    ASSERT_TRUE(dictionary.has_value());
    CCookieStore store;
    store.AddFromArray(*dictionary, kNow);
    EXPECT_EQ(store.CountCookies(), 0);
}

TEST(CookieFile, AStoreThatCannotBeXmlWritesNothing)
{
    testsupport::TempDir folder;
    CFileRef file(folder.File("cookies.plist"));
    ASSERT_EQ(WritePropertyListFile(ExpectedStore().CopyAsArray(), file).Code(), 0);
    const std::string before = ReadBytes(file.Path());

    CCookieStore bad;
    bad.StoreResponseCookie(MakeCookie(std::string("nul\0name", 8), "v", "h", "/", "x", kNow + 10));
    EXPECT_EQ(WritePropertyListFile(bad.CopyAsArray(), file).Code(), kPlistMalformed);
    EXPECT_EQ(ReadBytes(file.Path()), before);
}

}  // namespace
