// The preference store: round trips per scope, the any-user fallback, and
// files that cannot be read or written.
#include <unistd.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "foundation/settings/preference_store.h"
#include "platform/plist/plist_xml.h"
#include "tests/settings/settings_test_environment.h"

namespace {

class PreferenceStore : public SettingsEnvironment {};

PlistValue TextDictionary(std::initializer_list<std::pair<const char*, const char*>> entries)
{
    PlistValue value = PlistValue::MakeDictionary();
    for (const auto& [key, text] : entries) value.Set(key, PlistValue::MakeString(text));
    return value;
}

TEST_F(PreferenceStore, ValuesComeBackAsTheyWereStored)
{
    struct Case {
        const char* key;
        PlistValue value;
    } cases[] = {
        {"Mail Server", PlistValue::MakeString("smtp.example.org")},
        {"Generate Log", PlistValue::MakeString("true")},
        {"Stay In Folder", PlistValue::MakeString("false")},
        {"Network Timeout", PlistValue::MakeString("120")},
        {"Empty", PlistValue::MakeString("")},
        {"Unicode \xE2\x80\x94 key", PlistValue::MakeString("caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x8C\x8A")},
        {"Markup", PlistValue::MakeString("<a href=\"?x=1&y=2\">&amp;</a>")},
        {"Blanks", PlistValue::MakeString("  leading and trailing \t")},
        {"Grabber Window", PlistValue::MakeString("40 60 40 60 500 700 false")},
        {"Recent Items", PlistValue::MakeStringArray({"http://a.example/", "https://b.example/x?y=1"})},
        {"No Items", PlistValue::MakeArray()},
        {"User Agents", TextDictionary({{"Zeta", "Zeta/1.0"}, {"Alpha", "Alpha/2.0"}})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        ASSERT_TRUE(SetPreferenceValue(c.key, c.value));
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        std::optional<PlistValue> back = GetPreferenceValue(c.key);
        ASSERT_TRUE(back.has_value());
        EXPECT_TRUE(*back == c.value);
        EXPECT_TRUE(HasPreference(c.key));
        // Texts also through the text accessor; other kinds are not texts.
        EXPECT_EQ(GetPreferenceString(c.key).has_value(), c.value.IsString());
    }
    // The file is a plain property list any reader can take.
    PlistValue onDisk;
    ASSERT_EQ(ReadPlistFile(UserPrefsPath(), onDisk), 0);
    EXPECT_EQ(onDisk.Count(), std::size(cases));
    EXPECT_EQ(ModeOf("config/tidewell/preferences.plist"), 0600u);
    EXPECT_EQ(ModeOf("config/tidewell"), 0700u);
    EXPECT_EQ(Names("config/tidewell"), std::vector<std::string>{"preferences.plist"});
}

TEST_F(PreferenceStore, MissingAndMismatchedKeysGiveNothing)
{
    ASSERT_TRUE(SetPreferenceString("a text", "Text"));
    ASSERT_TRUE(SetPreferenceStrings("List", {"one", "two"}));
    EXPECT_FALSE(GetPreferenceString("Absent").has_value());
    EXPECT_FALSE(GetPreferenceValue("Absent").has_value());
    EXPECT_FALSE(HasPreference("Absent"));
    EXPECT_FALSE(GetPreferenceString("List").has_value());
    EXPECT_FALSE(GetPreferenceStrings("Text").has_value());
    EXPECT_EQ(GetPreferenceStrings("List"), (std::vector<std::string>{"one", "two"}));
    EXPECT_FALSE(GetPreferenceString(nullptr).has_value());
}

TEST_F(PreferenceStore, ValuesThatAreNotTextAreRefused)
{
    PlistValue mixedArray = PlistValue::MakeArray();
    mixedArray.Append(PlistValue::MakeInteger(3));
    PlistValue nestedDictionary = PlistValue::MakeDictionary();
    nestedDictionary.Set("inner", PlistValue::MakeDictionary());

    struct Case {
        const char* name;
        bool stored;
    } cases[] = {
        {"null value", SetPreferenceString(nullptr, "Key")},
        {"null key", SetPreferenceString("value", nullptr)},
        {"empty key", SetPreferenceString("value", "")},
        {"value not UTF-8", SetPreferenceString("caf\xE9", "Key")},
        {"key not UTF-8", SetPreferenceString("value", "K\xFF")},
        {"integer", SetPreferenceValue("Key", PlistValue::MakeInteger(3))},
        {"array of numbers", SetPreferenceValue("Key", mixedArray)},
        {"nested dictionary", SetPreferenceValue("Key", nestedDictionary)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(c.stored);
    }
    EXPECT_FALSE(Exists("config/tidewell/preferences.plist"));
}

TEST_F(PreferenceStore, AnyUserValuesGoToTheSystemFolderWhenItCanBeWritten)
{
    ASSERT_TRUE(SetPreferenceString("user's", "Shared Key"));
    ASSERT_TRUE(SetPreferenceString("everyone's", "Shared Key", true));

    EXPECT_EQ(GetPreferenceString("Shared Key"), "user's");  // the user's own value is unchanged
    EXPECT_EQ(GetPreferenceString("Shared Key", true), "everyone's");
    EXPECT_EQ(ModeOf("system/preferences.plist"), 0644u);

    // Without an any-user value the user's own is the fallback.
    ASSERT_TRUE(SetPreferenceString("mine", "Only Mine"));
    EXPECT_EQ(GetPreferenceString("Only Mine", true), "mine");
}

TEST_F(PreferenceStore, AnyUserValuesFallBackToTheUserWhenTheSystemFolderIsClosed)
{
    Put("blocker", "a file where the system folder should be");
    Override("TIDEWELL_SYSTEM_CONFIG", Path("blocker/tidewell"));
    ASSERT_TRUE(SetPreferenceString("fallback", "Shared Key", true));
    EXPECT_EQ(GetPreferenceString("Shared Key"), "fallback");
    EXPECT_EQ(GetPreferenceString("Shared Key", true), "fallback");
    EXPECT_EQ(Get("blocker"), "a file where the system folder should be");
}

TEST_F(PreferenceStore, AnUnparsableFileIsKeptAsideNotOverwritten)
{
    struct Case {
        const char* name;
        std::string contents;
    } cases[] = {
        {"garbage", std::string("\x00\x01garbage<plist", 14)},
        {"truncated list", "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>A</key><string>1"},
        {"list that is not a dictionary", *PlistToXml(PlistValue::MakeStringArray({"x"}))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(Path("config"));
        Put("config/tidewell/preferences.plist", c.contents);

        EXPECT_FALSE(GetPreferenceString("Mail Server").has_value());  // reads as the defaults
        EXPECT_EQ(Get("config/tidewell/preferences.plist"), c.contents);  // a read changes nothing

        ASSERT_TRUE(SetPreferenceString("smtp.example.org", "Mail Server"));
        EXPECT_EQ(GetPreferenceString("Mail Server"), "smtp.example.org");

        std::vector<std::string> names = Names("config/tidewell");
        ASSERT_EQ(names.size(), 2u);
        auto aside = std::find_if(names.begin(), names.end(), [](const std::string& name) {
            return name.rfind("preferences.plist.unreadable-", 0) == 0;
        });
        ASSERT_NE(aside, names.end());
        EXPECT_EQ(Get("config/tidewell/" + *aside), c.contents);
    }
}

TEST_F(PreferenceStore, FailedWritesAreReported)
{
    // A list that exists but cannot be read is never replaced.
    std::filesystem::create_directories(Path("config/tidewell/preferences.plist"));
    EXPECT_FALSE(SetPreferenceString("x", "Key"));
    EXPECT_TRUE(std::filesystem::is_directory(Path("config/tidewell/preferences.plist")));

    // No folder can be made for the list.
    Put("blocker", "file");
    Override("XDG_CONFIG_HOME", Path("blocker/config"));
    EXPECT_FALSE(SetPreferenceString("x", "Key"));
    EXPECT_FALSE(SetPreferenceStrings("List", {"x"}));
    EXPECT_FALSE(GetPreferenceString("Key").has_value());

    if (::geteuid() != 0) {
        Override("XDG_CONFIG_HOME", Path("locked"));
        std::filesystem::create_directories(Path("locked/tidewell"));
        std::filesystem::permissions(Path("locked/tidewell"), std::filesystem::perms::owner_read |
                                                                  std::filesystem::perms::owner_exec);
        EXPECT_FALSE(SetPreferenceString("x", "Key"));
        std::filesystem::permissions(Path("locked/tidewell"), std::filesystem::perms::owner_all);
    }
}

TEST_F(PreferenceStore, ChangesMadeByAnotherWriterAreSeen)
{
    ASSERT_TRUE(SetPreferenceString("first", "Key"));
    ASSERT_EQ(GetPreferenceString("Key"), "first");
    PlistValue other = PlistValue::MakeDictionary();
    other.Set("Key", PlistValue::MakeString("second, written elsewhere"));
    ASSERT_EQ(WritePlistFile(UserPrefsPath(), other, 0600), 0);
    EXPECT_EQ(GetPreferenceString("Key"), "second, written elsewhere");

    // A change keeps the other writer's keys.
    other.Set("Other", PlistValue::MakeString("kept"));
    ASSERT_EQ(WritePlistFile(UserPrefsPath(), other, 0600), 0);
    ASSERT_TRUE(SetPreferenceString("third", "Key"));
    EXPECT_EQ(GetPreferenceString("Other"), "kept");
}

TEST_F(PreferenceStore, ALinkedListStaysALink)
{
    // Dotfile managers keep the list elsewhere and link to it.
    std::filesystem::create_directories(Path("dotfiles"));
    std::filesystem::create_directories(Path("config/tidewell"));
    std::filesystem::create_symlink(Path("dotfiles/prefs.plist"), UserPrefsPath());
    ASSERT_TRUE(SetPreferenceString("linked", "Key"));
    EXPECT_TRUE(std::filesystem::is_symlink(UserPrefsPath()));
    PlistValue target;
    ASSERT_EQ(ReadPlistFile(Path("dotfiles/prefs.plist"), target), 0);
    ASSERT_NE(target.Find("Key"), nullptr);
    EXPECT_EQ(target.Find("Key")->Text(), "linked");
    EXPECT_EQ(GetPreferenceString("Key"), "linked");
}

TEST_F(PreferenceStore, OldMacRomanTextsReadAsUtf8)
{
    // Lists of older releases hold MacRoman bytes: 0x8E is e-acute there.
    Put("config/tidewell/preferences.plist",
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict>"
        "<key>Last Search Directory</key><string>/Users/r\x8Esum\x8E</string>"
        "<key>Recent Items</key><array><string>caf\x8E</string><string>plain</string></array>"
        "</dict></plist>");
    EXPECT_EQ(GetPreferenceString("Last Search Directory"), "/Users/r\xC3\xA9sum\xC3\xA9");
    EXPECT_EQ(GetPreferenceStrings("Recent Items"), (std::vector<std::string>{"caf\xC3\xA9", "plain"}));
}

TEST_F(PreferenceStore, RemovingAKeyKeepsTheOthers)
{
    ASSERT_TRUE(SetPreferenceStrings("Recent Items", {"http://a.example/"}));
    ASSERT_TRUE(SetPreferenceString("true", "Generate Log"));
    EXPECT_TRUE(RemovePreference("Recent Items"));
    EXPECT_FALSE(HasPreference("Recent Items"));
    EXPECT_EQ(GetPreferenceString("Generate Log"), "true");
    EXPECT_TRUE(RemovePreference("Never There"));
}

}  // namespace
