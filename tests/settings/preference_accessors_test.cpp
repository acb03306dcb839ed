// Single preferences with their defaults: switches, numbers and the range
// checks on numbers.
#include <cstdint>
#include <limits>
#include <optional>

#include <gtest/gtest.h>

#include "foundation/settings/preference_accessors.h"
#include "foundation/settings/preference_store.h"
#include "tests/settings/settings_test_environment.h"

namespace {

class PreferenceAccessors : public SettingsEnvironment {
protected:
    // Stores the text, or removes the key for nothing.
    void Store(const char* key, const char* value)
    {
        if (value) ASSERT_TRUE(SetPreferenceString(value, key));
        else ASSERT_TRUE(RemovePreference(key));
    }
};

TEST_F(PreferenceAccessors, SwitchesAreOnOnlyForTheExactTextTrue)
{
    using Accessor = bool (*)();
    struct Switch {
        const char* key;
        Accessor read;
    } switches[] = {
        {"Check File Modification Dates", &ShouldCheckFileModificationDates},
        {"Stay In Folder", &ShouldStayInFolder},
        {"AutoRedirect", &ShouldAutoRedirect},
        {"GenerateSitemap", &ShouldGenerateSitemap},
        {"Media Grabber Relink and Remap", &ShouldRelinkAndRemapMedia},
        {"Preview", [] { return GetPreviewSettings(nullptr); }},
    };
    struct Stored {
        const char* text;
        bool on;
        bool notFalse;
    } values[] = {
        {nullptr, false, true}, {"true", true, true},   {"false", false, false}, {"TRUE", false, true},
        {"yes", false, true},   {"1", false, true},     {"", false, true},       {" true", false, true},
    };
    for (const Switch& s : switches) {
        for (const Stored& v : values) {
            SCOPED_TRACE(std::string(s.key) + " = " + (v.text ? v.text : "(missing)"));
            Store(s.key, v.text);
            EXPECT_EQ(s.read(), v.on);
            EXPECT_EQ(IsPreferenceTrue(s.key), v.on);
            EXPECT_EQ(IsPreferenceNotFalse(s.key), v.notFalse);
        }
    }
}

TEST_F(PreferenceAccessors, NumbersTakeTheirDefaultsWhenMissingOrOutOfRange)
{
    using Accessor = std::int32_t (*)();
    struct Case {
        const char* key;
        Accessor read;
        const char* stored;
        std::int32_t expected;
    } cases[] = {
        {"Network Timeout", &GetNetworkTimeout, nullptr, 60},
        {"Network Timeout", &GetNetworkTimeout, "", 60},
        {"Network Timeout", &GetNetworkTimeout, "30", 30},
        {"Network Timeout", &GetNetworkTimeout, " 45 seconds", 45},
        {"Network Timeout", &GetNetworkTimeout, "0", 60},  // no time-out would never give up
        {"Network Timeout", &GetNetworkTimeout, "-5", 60},
        {"Network Timeout", &GetNetworkTimeout, "soon", 60},
        {"Network Timeout", &GetNetworkTimeout, "99999999999", std::numeric_limits<std::int32_t>::max()},
        {"Message Retries", &GetMessageRetries, nullptr, 0},
        {"Message Retries", &GetMessageRetries, "", 0},
        {"Message Retries", &GetMessageRetries, "3", 3},
        {"Message Retries", &GetMessageRetries, "-2", 0},  // would mean no attempt at all
        {"Message Retries Interval", &GetMessageRetriesInterval, nullptr, 10},
        {"Message Retries Interval", &GetMessageRetriesInterval, "", 10},
        {"Message Retries Interval", &GetMessageRetriesInterval, "0", 0},
        {"Message Retries Interval", &GetMessageRetriesInterval, "25", 25},
        {"Message Retries Interval", &GetMessageRetriesInterval, "-1", 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.key) + " = " + (c.stored ? c.stored : "(missing)"));
        Store(c.key, c.stored);
        EXPECT_EQ(c.read(), c.expected);
    }
}

TEST_F(PreferenceAccessors, PreviewInDefaultsToOneEvenWhenPreviewIsOn)
{
    struct Case {
        const char* preview;
        const char* previewIn;
        bool on;
        std::int32_t where;
    } cases[] = {
        {nullptr, nullptr, false, 1},
        {"true", nullptr, true, 1},
        {"true", "2", true, 2},
        {"false", "2", false, 2},
        {"true", "", true, 0},
    };
    for (const Case& c : cases) {
        Store("Preview", c.preview);
        Store("Preview In", c.previewIn);
        std::int32_t where = -99;
        EXPECT_EQ(GetPreviewSettings(&where), c.on);
        EXPECT_EQ(where, c.where);
    }
}

TEST(DecimalText, ReadsTheLeadingNumberLikeTheStandardConversion)
{
    struct Case {
        const char* text;
        std::int32_t value;
    } cases[] = {
        {"", 0},          {"abc", 0},          {"42", 42},
        {"  42", 42},     {"\t-7x", -7},       {"+8", 8},
        {"12 34", 12},    {"- 3", 0},          {"2147483647", 2147483647},
        {"2147483648", 2147483647},            {"-2147483648", std::numeric_limits<std::int32_t>::min()},
        {"-99999999999999999999", std::numeric_limits<std::int32_t>::min()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ReadDecimalPrefix(c.text), c.value);
    }
}

TEST_F(PreferenceAccessors, NumbersAndSwitchesAreStoredAsText)
{
    ASSERT_TRUE(SetDecimalPreference("Tag Delay", -12));
    ASSERT_TRUE(SetSwitchPreference("Generate Log", false));
    ASSERT_TRUE(SetSwitchPreference("Grab Offsite URLs", true));
    EXPECT_EQ(GetPreferenceString("Tag Delay"), "-12");
    EXPECT_EQ(GetDecimalPreference("Tag Delay"), -12);
    EXPECT_EQ(GetPreferenceString("Generate Log"), "false");
    EXPECT_EQ(GetPreferenceString("Grab Offsite URLs"), "true");
    EXPECT_FALSE(GetDecimalPreference("Missing").has_value());
}

}  // namespace
