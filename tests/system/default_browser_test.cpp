// The default browser comes from the XDG mimeapps.list files; each test
// builds its own XDG folders.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "foundation/system/default_browser.h"
#include "foundation/system/desktop_url_handler.h"
#include "tests/support/temp_dir.h"

namespace {

class DesktopFolders : public testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : kVariables) {
            const char* value = std::getenv(name);
            mSaved.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
        setenv("HOME", mRoot.Path().c_str(), 1);
        setenv("XDG_CONFIG_HOME", mRoot.MakeFolder("config").c_str(), 1);
        setenv("XDG_CONFIG_DIRS", mRoot.MakeFolder("etc-xdg").c_str(), 1);
        setenv("XDG_DATA_HOME", mRoot.MakeFolder("data").c_str(), 1);
        setenv("XDG_DATA_DIRS", (mRoot.MakeFolder("share1") + ":" + mRoot.MakeFolder("share2")).c_str(), 1);
        unsetenv("XDG_CURRENT_DESKTOP");
    }
    void TearDown() override
    {
        for (const auto& [name, value] : mSaved) {
            if (value) setenv(name, value->c_str(), 1);
            else unsetenv(name);
        }
    }
    void Install(const std::string& dataFolder, const std::string& relativePath, const std::string& name)
    {
        std::string text = "[Desktop Entry]\nType=Application\n";
        if (!name.empty()) text += "Name=" + name + "\nName[de]=Lokal\n";
        text += "Exec=true %u\n";
        mRoot.Write(dataFolder + "/applications/" + relativePath, text);
    }

    static constexpr const char* kVariables[] = {"HOME", "XDG_CONFIG_HOME", "XDG_CONFIG_DIRS", "XDG_DATA_HOME",
                                                 "XDG_DATA_DIRS", "XDG_CURRENT_DESKTOP"};
    testsupport::TempDir mRoot;
    std::vector<std::pair<const char*, std::optional<std::string>>> mSaved;
};

TEST_F(DesktopFolders, NoHandlerLeavesTheNameAlone)
{
    CFixedString255 name("unchanged");
    EXPECT_EQ(GetDefaultBrowserName(name), 0u);
    EXPECT_STREQ(name.c_str(), "unchanged");

    // Named but not installed counts as none.
    mRoot.Write("config/mimeapps.list", "[Default Applications]\nx-scheme-handler/http=ghost.desktop;\n");
    EXPECT_EQ(GetDefaultBrowserName(name), 0u);
    EXPECT_STREQ(name.c_str(), "unchanged");
}

TEST_F(DesktopFolders, FollowsTheXDGOrder)
{
    Install("share2", "alpha.desktop", "Alpha Browser");
    Install("share1", "beta.desktop", "Beta Browser");
    Install("data", "vendor/gamma.desktop", "");  // id vendor-gamma.desktop, no Name
    mRoot.Write("share2/applications/mimeapps.list",
                "[Default Applications]\nx-scheme-handler/http=alpha.desktop\n");
    mRoot.Write("etc-xdg/mimeapps.list",
                "[Added Associations]\nx-scheme-handler/http=beta.desktop;\n"
                "[Default Applications]\nx-scheme-handler/https=beta.desktop\n");

    DesktopApplication application;
    ASSERT_TRUE(FindURLSchemeHandler("http", application));
    EXPECT_EQ(application.id, "alpha.desktop") << "a default anywhere beats an added association";
    EXPECT_EQ(application.name, "Alpha Browser");
    ASSERT_TRUE(FindURLSchemeHandler("HTTPS", application));
    EXPECT_EQ(application.id, "beta.desktop");

    // The user's own list comes first; uninstalled entries are skipped.
    mRoot.Write("config/mimeapps.list",
                "# mine\n[Added Associations]\nx-scheme-handler/http=alpha.desktop\n"
                "[Default Applications]\nx-scheme-handler/http = ghost.desktop;vendor-gamma.desktop;\n");
    ASSERT_TRUE(FindURLSchemeHandler("http", application));
    EXPECT_EQ(application.id, "vendor-gamma.desktop");
    EXPECT_EQ(application.name, "vendor-gamma.desktop") << "no Name= falls back to the id";

    // A desktop's own list beats the plain one in the same folder.
    setenv("XDG_CURRENT_DESKTOP", "Test:Other", 1);
    mRoot.Write("config/test-mimeapps.list", "[Default Applications]\nx-scheme-handler/http=beta.desktop\n");
    CFixedString255 name;
    EXPECT_EQ(GetDefaultBrowserName(name), kAnyApplicationCreator);
    EXPECT_STREQ(name.c_str(), "Beta Browser");
    EXPECT_EQ(GetInternetHelper("mailto", name), 0u);
    EXPECT_EQ(GetInternetHelper(nullptr, name), 0u);
}

TEST_F(DesktopFolders, EntryIdsCannotLeaveTheApplicationsFolder)
{
    mRoot.Write("data/secret.desktop", "[Desktop Entry]\nName=Outside\n");
    mRoot.Write("config/mimeapps.list",
                "[Default Applications]\nx-scheme-handler/http=../secret.desktop;..-secret.desktop;/etc/passwd;notadesktop\n");
    DesktopApplication application;
    EXPECT_FALSE(FindURLSchemeHandler("http", application));
}

}  // namespace
