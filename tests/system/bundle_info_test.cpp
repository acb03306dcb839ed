// What the program reads about itself and the system.
#include <gtest/gtest.h>

#include <string>

#include "foundation/system/bundle_info.h"

namespace {

TEST(BundleInfo, ReadsOSReleaseValues)
{
    struct Row {
        const char* text;
        const char* name;
        const char* version;
    } rows[] = {
        {"NAME=\"Debian GNU/Linux\"\nVERSION_ID=\"12\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n",
         "Debian GNU/Linux 12 (bookworm)", "12"},
        {"NAME=Fedora\nVERSION_ID=39\n", "Fedora", "39"},
        {"# comment\nPRETTY_NAME='Single quoted'\r\nVERSION_ID=1.2\n", "Single quoted", "1.2"},
        {"PRETTY_NAME=\"Say \\\"hi\\\" \\\\ now\"\n", "Say \"hi\" \\ now", ""},
        {"garbage without equals\n\n", "", ""},
    };
    for (const Row& row : rows) {
        SystemRelease release;
        ParseOSRelease(row.text, release);
        EXPECT_EQ(release.osName, row.name) << row.text;
        EXPECT_EQ(release.osVersion, row.version) << row.text;
    }
}

TEST(BundleInfo, FindsItselfAndItsResources)
{
    CFixedString255 folder;
    std::string executable;
    ASSERT_TRUE(GetApplicationFolder(folder, executable));
    EXPECT_EQ(executable.rfind(std::string(folder.c_str()) + "/", 0), 0u) << executable;
    EXPECT_NE(executable.find("system_tests"), std::string::npos) << executable;

    std::string path = "unchanged";
    EXPECT_EQ(GetBundleResourceRef("ISO8559", "", path), kSysNoError);
    EXPECT_NE(path.find("/ISO8559"), std::string::npos);
    path = "unchanged";
    EXPECT_EQ(GetBundleResourceRef("NoSuchResource", "plist", path), kSysFileNotFound);
    EXPECT_EQ(GetBundleResourceRef("../resources/ISO8559", nullptr, path), kSysBadParameter);
    EXPECT_EQ(GetBundleResourceRef("ISO8559", "../x", path), kSysBadParameter);
    EXPECT_EQ(GetBundleResourceRef("", "plist", path), kSysBadParameter);
    EXPECT_EQ(path, "unchanged");

    SystemRelease release = GetSystemRelease();
    EXPECT_EQ(release.kernelName, "Linux");
    EXPECT_FALSE(release.machine.empty());
}

}  // namespace
