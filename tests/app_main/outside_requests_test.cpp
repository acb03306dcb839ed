// Arguments from outside: which path each takes, and the URL in each kind
// of location file (including broken ones, which open nothing).
#include <unistd.h>

#include <gtest/gtest.h>

#include "app/main/outside_requests.h"
#include "binary_plist_bytes.h"
#include "platform/plist/plist_binary.h"
#include "tests/support/temp_dir.h"

namespace {

const char* const kXmlWebloc = R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0"><dict><key>URL</key><string>https://example.org:8443/a/b.html?q=1</string></dict></plist>
)";

TEST(OutsideRequests, LocationFilesGiveTheirURL)
{
    testsupport::TempDir folder;
    struct SCase {
        const char* name;
        std::string bytes;
        const char* url;  // null: opens nothing
    } cases[] = {
        {"xml.webloc", kXmlWebloc, "https://example.org:8443/a/b.html?q=1"},
        {"binary.webloc", WeblocPlist(AsciiObject("http://example.org/binary/path")), "http://example.org/binary/path"},
        {"utf16.WEBLOC", WeblocPlist(Utf16Object("ftp://files/x")), "ftp://files/x"},
        {"link.desktop", "[Desktop Entry]\nType=Link\nName=Site\nURL=http://example.org/a\\sb\n",
         "http://example.org/a b"},
        {"app.desktop", "[Desktop Entry]\nType=Application\nExec=true\nURL=http://no/\n", nullptr},
        {"other-group.desktop", "[Other]\nType=Link\nURL=http://no/\n", nullptr},
        {"no-url.webloc", "<plist version=\"1.0\"><dict><key>Name</key><string>x</string></dict></plist>", nullptr},
        {"array.webloc", "<plist version=\"1.0\"><array><string>http://no/</string></array></plist>", nullptr},
        {"control.webloc", WeblocPlist(AsciiObject("http://a/\nrm")), nullptr},
        {"notes.txt", "http://example.org/", nullptr},
        {"broken.webloc", WeblocPlist(AsciiObject("http://x/")).substr(0, 30), nullptr},
    };
    for (const SCase& c : cases) {
        std::optional<std::string> url = ReadLocationFileURL(folder.Write(c.name, c.bytes));
        if (c.url == nullptr) {
            EXPECT_FALSE(url) << c.name << " gave " << url.value_or("");
        } else {
            EXPECT_EQ(url.value_or("(nothing)"), c.url) << c.name;
        }
    }
    EXPECT_FALSE(ReadLocationFileURL(folder.MakeFolder("folder.webloc")));
    EXPECT_FALSE(ReadLocationFileURL(folder.File("missing.webloc")));
}

TEST(OutsideRequests, EachArgumentTakesItsPath)
{
    testsupport::TempDir folder;
    std::string file = folder.Write("page.webloc", kXmlWebloc);
    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(folder.Path().c_str()), 0);
    struct SCase {
        std::string argument;
        EOutsideRequest kind;
        std::string text;
    } cases[] = {
        {"http://example.org:8080/a/b?c=d#e", EOutsideRequest::kGetURL, "http://example.org:8080/a/b?c=d#e"},
        {"HTTPS://Example.org/", EOutsideRequest::kGetURL, "HTTPS://Example.org/"},
        {"ftp://files.example.org/pub/", EOutsideRequest::kGetURL, "ftp://files.example.org/pub/"},
        {"page.webloc", EOutsideRequest::kOpenDocument, file},  // relative: made absolute
        {"file://" + folder.Path() + "/page%2Ewebloc", EOutsideRequest::kOpenDocument, file},
        {folder.Path(), EOutsideRequest::kOpenDocument, folder.Path()},  // a folder: opens nothing later
        {"gone.webloc", EOutsideRequest::kOpenDocument, folder.File("gone.webloc")},
        {"example.org/some page", EOutsideRequest::kService, "example.org/some page"},
        {"  mailto:someone@example.org ", EOutsideRequest::kService, "mailto:someone@example.org"},
        {"http://", EOutsideRequest::kService, "http://"},
        {"   ", EOutsideRequest::kNothing, ""},
    };
    for (const SCase& c : cases) {
        SOutsideRequest request = ClassifyArgument(c.argument);
        EXPECT_EQ(request.kind, c.kind) << c.argument;
        EXPECT_EQ(request.text, c.text) << c.argument;
    }
    ASSERT_EQ(chdir(previous), 0);
}

TEST(OutsideRequests, BrokenBinaryListsAreRefusedNotFollowed)
{
    const std::string loop = BinaryPlist({std::string("\xA1\x00", 2)});  // an array holding itself
    std::string badOffset = WeblocPlist(AsciiObject("http://x/"));
    badOffset[badOffset.size() - 32 - 1] = '\x7F';  // last object's offset points past the objects
    std::string hugeCount = BinaryPlist({std::string("\xAF\x13\x7F\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 10)});
    struct SCase {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"self-reference", loop},
        {"offset outside", badOffset},
        {"count beyond the data", hugeCount},
        {"trailer only", std::string("bplist00") + std::string(32, '\0')},
        {"not binary", kXmlWebloc},
    };
    for (const SCase& c : cases) {
        PlistValue value = PlistValue::MakeString("unchanged");
        EXPECT_FALSE(ParseBinaryPlist(c.bytes, value)) << c.name;
        EXPECT_EQ(value.Text(), "unchanged") << c.name;
    }
}

}  // namespace
