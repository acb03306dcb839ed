// The settings object: defaults with no preferences, range checks, the mail
// account, the user-agent list, the application log and the queue folder.
#include <sys/stat.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "foundation/settings/app_settings.h"
#include "foundation/settings/preference_store.h"
#include "foundation/text/text_encodings.h"
#include "platform/plist/plist_xml.h"
#include "tests/settings/settings_test_environment.h"

namespace {

struct LookupCall {
    std::string server;
    std::string user;
};
std::vector<LookupCall> gLookups;

// Stands in for the Secret Service: one account holds a password.
SystemStatus FakeKeychain(const char* server, const char* user, CFixedString255& password)
{
    gLookups.push_back({server, user});
    if (*server == '\0' || *user == '\0') return kSysNoError;
    if (std::string(server) == "smtp.example.org" && std::string(user) == "ann") {
        password = "ann's secret";
        return kSysNoError;
    }
    return kSysKeychainItemNotFound;
}

class RecordingMenu : public CUserAgentMenu {
public:
    void RemoveAllItems() override
    {
        items.clear();
        disabled.clear();
    }
    void AppendItem(const std::string& text) override { items.push_back(text); }
    void DisableItem(int itemNumber) override { disabled.push_back(itemNumber); }

    std::vector<std::string> items;
    std::vector<int> disabled;
};

class AppSettings : public SettingsEnvironment {
protected:
    void SetUp() override
    {
        SettingsEnvironment::SetUp();
        gLookups.clear();
        SetMailPasswordLookup(&FakeKeychain);
    }
    void TearDown() override
    {
        SetMailPasswordLookup(nullptr);
        SettingsEnvironment::TearDown();
    }
    static std::string LogPath() { return "data/Farrowby Software/Tidewell/Tidewell.log"; }
};

TEST_F(AppSettings, WithoutPreferencesEverythingTakesItsDefault)
{
    {
        CAppSettings settings;
        EXPECT_TRUE(settings.mHelpTags);
        EXPECT_TRUE(settings.mCreateAliases);
        EXPECT_EQ(settings.mNetworkTimeout, 60);
        EXPECT_EQ(settings.mMessageRetries, 0);
        EXPECT_EQ(settings.mMessageRetriesInterval, 10);
        EXPECT_FALSE(settings.mAutoRedirect);
        EXPECT_EQ(settings.mMailServerPort, 25);
        EXPECT_EQ(settings.mMailPeriod, 20);
        EXPECT_TRUE(settings.mMailServer.IsEmpty());
        EXPECT_TRUE(settings.mMailPassword.IsEmpty());
        EXPECT_EQ(settings.mUserAgent, CFixedString255("Tidewell"));

        EXPECT_EQ(settings.mSupportFolderPath, Path("data/Farrowby Software/Tidewell"));
        EXPECT_EQ(settings.mConfigurationsFolderPath, Path("data/Farrowby Software/Tidewell/Configurations"));
        EXPECT_EQ(settings.mDownloadFolderPath, Path("home/Downloads"));

        ASSERT_NE(settings.mEntityTable, nullptr);
        EXPECT_STREQ(settings.mEntityTable->FindCharForEntity("&amp;"), "&");
        EXPECT_STREQ(settings.mFileTypeTable.Lookup(".html").mimeType, "text/html");
        EXPECT_TRUE(settings.mFileTypeTable.Lookup(".no-such-extension").IsEmpty());
        EXPECT_EQ(settings.mCharToEscape.Lookup('/'), CFixedString31("%2F"));
        EXPECT_TRUE(settings.mCharToEscape.Lookup('a').IsEmpty());
        EXPECT_EQ(settings.mEscapeToChar.Lookup("%2F"), '/');

        ASSERT_NE(settings.mLog, nullptr);
        EXPECT_TRUE(settings.mLog->IsOpen());
        EXPECT_EQ(ModeOf("data/Farrowby Software/Tidewell"), 0700u);
        // Nothing of the preferences was written just by reading them.
        EXPECT_FALSE(Exists("config/tidewell/preferences.plist"));
    }
    std::string log = Get(LogPath());
    EXPECT_EQ(log.rfind("Tidewell starting logging at ", 0), 0u);
    EXPECT_NE(log.find(".\nTidewell stopping logging at "), std::string::npos);
    EXPECT_EQ(log.back(), '\n');
}

TEST_F(AppSettings, StoredValuesAreReadAndCheckedForRange)
{
    struct Case {
        const char* key;
        const char* stored;
        std::int32_t CAppSettings::*field;
        std::int32_t expected;
    } numbers[] = {
        {"Mail Server Port", "587", &CAppSettings::mMailServerPort, 587},
        {"Mail Server Port", "65535", &CAppSettings::mMailServerPort, 65535},
        {"Mail Server Port", "40000", &CAppSettings::mMailServerPort, 40000},
        {"Mail Server Port", "0", &CAppSettings::mMailServerPort, 25},
        {"Mail Server Port", "65536", &CAppSettings::mMailServerPort, 25},
        {"Mail Server Port", "-25", &CAppSettings::mMailServerPort, 25},
        {"Mail Server Port", "", &CAppSettings::mMailServerPort, 25},
        {"Mail Server Port", "smtp", &CAppSettings::mMailServerPort, 25},
        {"Mail Period", "5", &CAppSettings::mMailPeriod, 5},
        {"Mail Period", "0", &CAppSettings::mMailPeriod, 0},
        {"Mail Period", "-3", &CAppSettings::mMailPeriod, -3},
        {"Mail Period", "40000", &CAppSettings::mMailPeriod, 20},
        {"Network Timeout", "15", &CAppSettings::mNetworkTimeout, 15},
        {"Network Timeout", "0", &CAppSettings::mNetworkTimeout, 60},
        {"Network Timeout", "-1", &CAppSettings::mNetworkTimeout, 60},
        {"Message Retries", "2", &CAppSettings::mMessageRetries, 2},
        {"Message Retries", "-1", &CAppSettings::mMessageRetries, 0},
        {"Message Retries Interval", "3", &CAppSettings::mMessageRetriesInterval, 3},
    };
    for (const Case& c : numbers) {
        SCOPED_TRACE(std::string(c.key) + " = " + c.stored);
        ASSERT_TRUE(SetPreferenceString(c.stored, c.key));
        CAppSettings settings;
        EXPECT_EQ(settings.*c.field, c.expected);
        ASSERT_TRUE(RemovePreference(c.key));
    }

    struct Switch {
        const char* key;
        const char* stored;
        bool CAppSettings::*field;
        bool expected;
    } switches[] = {
        {"Display Help Tags", "false", &CAppSettings::mHelpTags, false},
        {"Display Help Tags", "no", &CAppSettings::mHelpTags, true},
        {"Display Help Tags", "FALSE", &CAppSettings::mHelpTags, true},
        {"Create Aliases", "false", &CAppSettings::mCreateAliases, false},
        {"Create Aliases", "true", &CAppSettings::mCreateAliases, true},
        {"AutoRedirect", "true", &CAppSettings::mAutoRedirect, true},
        {"AutoRedirect", "yes", &CAppSettings::mAutoRedirect, false},
    };
    for (const Switch& s : switches) {
        SCOPED_TRACE(std::string(s.key) + " = " + s.stored);
        ASSERT_TRUE(SetPreferenceString(s.stored, s.key));
        CAppSettings settings;
        EXPECT_EQ(settings.*s.field, s.expected);
        ASSERT_TRUE(RemovePreference(s.key));
    }
}

TEST_F(AppSettings, MailSettingsFollowThePreferencesOnEveryReload)
{
    ASSERT_TRUE(SetPreferenceString("smtp.example.org", "Mail Server"));
    ASSERT_TRUE(SetPreferenceString("ann", "Username"));
    ASSERT_TRUE(SetPreferenceString("ops@example.org", "Mail Recipient"));
    CAppSettings settings;
    EXPECT_EQ(settings.mMailServer, CFixedString255("smtp.example.org"));
    EXPECT_EQ(settings.mMailUserName, CFixedString255("ann"));
    EXPECT_EQ(settings.mMailPassword, CFixedString255("ann's secret"));
    EXPECT_EQ(settings.mMailRecipient, CFixedString255("ops@example.org"));
    ASSERT_FALSE(gLookups.empty());
    EXPECT_EQ(gLookups.back().server, "smtp.example.org");
    EXPECT_EQ(gLookups.back().user, "ann");

    struct Step {
        const char* name;
        const char* key;
        const char* value;  // null: removed
        const char* server;
        const char* user;
        const char* password;
        const char* recipient;
    } steps[] = {
        // Another account must not keep the first account's password.
        {"user changed", "Username", "bob", "smtp.example.org", "bob", "", "ops@example.org"},
        {"user back", "Username", "ann", "smtp.example.org", "ann", "ann's secret", "ops@example.org"},
        {"recipient cleared", "Mail Recipient", "", "smtp.example.org", "ann", "ann's secret", ""},
        {"server removed", "Mail Server", nullptr, "", "ann", "", ""},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        if (s.value) ASSERT_TRUE(SetPreferenceString(s.value, s.key));
        else ASSERT_TRUE(RemovePreference(s.key));
        settings.LoadMailSettings();
        EXPECT_EQ(settings.mMailServer, CFixedString255(s.server));
        EXPECT_EQ(settings.mMailUserName, CFixedString255(s.user));
        EXPECT_EQ(settings.mMailPassword, CFixedString255(s.password));
        EXPECT_EQ(settings.mMailRecipient, CFixedString255(s.recipient));
    }
    EXPECT_FALSE(settings.LoadMailServer());
    EXPECT_FALSE(settings.LoadMailRecipient());
}

std::vector<std::string> ShippedNames()
{
    std::string text;
    EXPECT_TRUE(LoadNamedTextResource("DefaultUserAgents.plist", text));
    std::optional<PlistValue> shipped = ParsePlist(text);
    EXPECT_TRUE(shipped && shipped->IsDictionary() && shipped->Count() > 0);
    return shipped ? shipped->Keys() : std::vector<std::string>();
}

TEST_F(AppSettings, UserAgentsComeFromThePreferenceOrTheShippedList)
{
    const std::vector<std::string> shipped = ShippedNames();
    PlistValue imported = PlistValue::MakeDictionary();
    imported.Set("Zeta", PlistValue::MakeString("Zeta/1.0"));
    imported.Set("Alpha", PlistValue::MakeString("Alpha/2.0 (X11; Linux)"));
    PlistValue withGap = imported;
    withGap.Set("Broken", PlistValue::MakeStringArray({"not", "a text"}));
    withGap.Set("Omega", PlistValue::MakeString("Omega/3"));

    struct Case {
        const char* name;
        std::optional<PlistValue> stored;  // written to the file as it is
        std::vector<std::string> names;
    } cases[] = {
        {"no preference", std::nullopt, shipped},
        {"imported dictionary", imported, {"Zeta", "Alpha"}},
        {"preference that is an array", PlistValue::MakeStringArray({"Zeta", "Zeta/1.0"}), shipped},
        {"preference that is a text", PlistValue::MakeString("Zeta"), shipped},
        {"empty dictionary", PlistValue::MakeDictionary(), {}},
        {"entry that is not a text", withGap, {"Zeta", "Alpha", "Omega"}},
    };
    CAppSettings settings;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PlistValue file = PlistValue::MakeDictionary();
        if (c.stored) file.Set("User Agents", *c.stored);
        std::filesystem::create_directories(Path("config/tidewell"));
        ASSERT_EQ(WritePlistFile(UserPrefsPath(), file, 0600), 0);

        RecordingMenu menu;
        menu.items = {"stale"};
        settings.LoadUserAgents(&menu);
        std::vector<std::string> expectedItems{"Tidewell", "-"};
        expectedItems.insert(expectedItems.end(), c.names.begin(), c.names.end());
        EXPECT_EQ(menu.items, expectedItems);
        EXPECT_EQ(menu.disabled, std::vector<int>{2});
        EXPECT_EQ(settings.mUserAgentNames, c.names);
        ASSERT_EQ(settings.mUserAgentStrings.size(), c.names.size());
    }
    EXPECT_EQ(settings.mUserAgentStrings.back(), "Omega/3");

    // Without the shipped list and the preference only the first two items.
    ASSERT_TRUE(RemovePreference("User Agents"));
    std::filesystem::create_directory(Path("empty-resources"));
    Override("TIDEWELL_RESOURCES", Path("empty-resources"));
    RecordingMenu menu;
    settings.LoadUserAgents(&menu);
    EXPECT_EQ(menu.items, (std::vector<std::string>{"Tidewell", "-"}));
    EXPECT_EQ(menu.disabled, std::vector<int>{2});
    EXPECT_TRUE(settings.mUserAgentNames.empty());
    settings.LoadUserAgents(nullptr);  // headless callers pass no menu
}

TEST_F(AppSettings, TheApplicationLogIsAppendedAcrossRunsAndClosedOnce)
{
    {
        CAppSettings first;
        ASSERT_EQ(AppendToLog(first.mLog.get(), "first run\r").Code(), 0);
    }
    {
        CAppSettings second;
        second.CloseLog();
        EXPECT_EQ(second.mLog, nullptr);
        second.CloseLog();  // a second close does nothing
    }
    std::string log = Get(LogPath());
    std::size_t starts = 0;
    std::size_t stops = 0;
    for (std::size_t at = 0; (at = log.find("starting logging", at)) != std::string::npos; ++at) ++starts;
    for (std::size_t at = 0; (at = log.find("stopping logging", at)) != std::string::npos; ++at) ++stops;
    EXPECT_EQ(starts, 2u);
    EXPECT_EQ(stops, 2u);
    EXPECT_NE(log.find("first run\nTidewell stopping"), std::string::npos);

    // A log that reached its size limit is moved aside at the next start.
    const std::string full(static_cast<std::size_t>(kApplicationLogRotateBytes), 'x');
    Put(LogPath(), full);
    {
        CAppSettings rotated;
    }
    EXPECT_EQ(Get(LogPath() + ".1"), full);
    EXPECT_EQ(Get(LogPath()).rfind("Tidewell starting logging at ", 0), 0u);

    // A log folder that cannot be made leaves logging off.
    Put("blocker", "file");
    Override("XDG_DATA_HOME", Path("blocker/data"));
    CAppSettings third;
    EXPECT_EQ(third.mLog, nullptr);
    EXPECT_EQ(AppendToLog(third.mLog.get(), "nowhere\r").Code(), 0);
}

TEST_F(AppSettings, QueueFolderIsPrivateAndNeverInTheSharedTemporaryFolder)
{
    struct Case {
        const char* name;
        std::optional<std::string> runtime;
        std::string expected;
    } cases[] = {
        {"runtime folder", Path("runtime"), Path("runtime/tidewell/FTP Queue")},
        {"no runtime folder", std::nullopt, Path("cache/tidewell/FTP Queue")},
        {"relative runtime folder", std::string("runtime"), Path("cache/tidewell/FTP Queue")},
    };
    CAppSettings settings;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.runtime && c.runtime->front() == '/') std::filesystem::create_directory(*c.runtime);
        Override("XDG_RUNTIME_DIR", c.runtime);
        ASSERT_TRUE(settings.MakeQueueFolder());
        EXPECT_EQ(settings.mQueueFolderPath, c.expected);
        struct stat info {};
        ASSERT_EQ(::stat(c.expected.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0700u);
    }
    EXPECT_TRUE(Names("tmp").empty());
}

TEST_F(AppSettings, DownloadFolderFollowsTheUserDirectories)
{
    struct Case {
        const char* name;
        const char* dirs;  // null: no user-dirs.dirs; "|": a pipe with no writer
        std::string expected;
    } cases[] = {
        {"no file", nullptr, Path("home/Downloads")},
        {"home-relative", "# comment\nXDG_DOWNLOAD_DIR=\"$HOME/Fetched\"\n", Path("home/Fetched")},
        {"absolute with escapes", "XDG_DOWNLOAD_DIR=\"/srv/da\\\"ta/\"\n", "/srv/da\"ta"},
        {"other entries only", "XDG_MUSIC_DIR=\"$HOME/Music\"\n", Path("home/Downloads")},
        {"relative value ignored", "XDG_DOWNLOAD_DIR=\"Downloads\"\n", Path("home/Downloads")},
        {"last entry wins", "XDG_DOWNLOAD_DIR=\"$HOME/A\"\n  XDG_DOWNLOAD_DIR=\"$HOME/B\"\n", Path("home/B")},
        {"a pipe is passed over", "|", Path("home/Downloads")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(Path("config/user-dirs.dirs"));
        if (c.dirs && std::string_view(c.dirs) == "|") ASSERT_EQ(::mkfifo(Path("config/user-dirs.dirs").c_str(), 0600), 0);
        else if (c.dirs) Put("config/user-dirs.dirs", c.dirs);
        CAppSettings settings;
        EXPECT_EQ(settings.mDownloadFolderPath, c.expected);
    }
}

}  // namespace
