#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/config/configuration.h"
#include "engine/url/url_record.h"
#include "foundation/messaging/four_char_code.h"
#include "foundation/settings/preference_store.h"
#include "tests/config/config_test_environment.h"
#include "tests/config/configuration_fields.h"

namespace {

class ConfigurationRecordTest : public ConfigEnvironment {};

// The golden file holds the default values; these are what it cannot show.
TEST_F(ConfigurationRecordTest, DefaultsTheFileDoesNotShow)
{
    CConfiguration c;
    // A new form posts; the method is never left undefined.
    EXPECT_EQ(c.mFormOptions.method, CFormOptions::kMethodPost);
    const CFilterSet& crawl = c.mCrawlFilters;
    EXPECT_EQ(crawl.PositiveTests().Count(), 2);
    EXPECT_EQ(crawl.NegativeTests().Count(), 1);
    EXPECT_EQ(crawl.OtherTests().Count(), 1);
    EXPECT_TRUE(c.mGrabFilters.OtherTests().IsEmpty());
    auto stylesheet = std::make_unique<CURL>("http://example.test/site.css");
    stylesheet->mContentType = "text/css";
    EXPECT_TRUE(crawl.Evaluate(*stylesheet));
    auto image = std::make_unique<CURL>("http://example.test/art.psd");
    image->mContentType = "text/plain";
    EXPECT_FALSE(crawl.Evaluate(*image));
}

TEST_F(ConfigurationRecordTest, CheckingDatesFollowsItsPreference)
{
    ASSERT_TRUE(SetPreferenceString("true", "Check File Modification Dates"));
    EXPECT_EQ(CConfiguration().mGeneralOptions.checkFileModificationDates, 1);
    ASSERT_TRUE(SetPreferenceString("TRUE", "Check File Modification Dates"));
    EXPECT_EQ(CConfiguration().mGeneralOptions.checkFileModificationDates, 0);
}

TEST_F(ConfigurationRecordTest, FifteenDefaultDelimitersTwoOfThemOff)
{
    CConfiguration c;
    std::vector<std::string> pairs;
    for (const CDelimiter& d : c.mDelimiters)
        pairs.push_back(d.start.str() + "|" + d.end.str() + "|" + std::to_string(d.enabled));
    EXPECT_EQ(pairs, std::vector<std::string>({
                         "HREF=\"|\"|1", "SRC=\"|\"|1", "HREF='|'|1", "SRC='|'|1", "SRC=| |1",
                         "background=\"|\"|1", "background='|'|1", "option value=\"|\"|0", "option value='|'|0",
                         "HREF=|>|1", "SRC=|>|1", "background=|>|1", "HREF=| |1", "SRC=| |1", "background=| |1",
                     }));
}

TEST_F(ConfigurationRecordTest, EveryFieldTakesPartInEquality)
{
    EXPECT_TRUE(CConfiguration().IsEqual(CConfiguration()));
    std::vector<ConfigurationChange> changes = SavedFieldChanges();
    changes.push_back({"delimiter disabled", [](CConfiguration& c) { c.mDelimiters.Head()->element.enabled = 0; }});
    changes.push_back({"delimiter end", [](CConfiguration& c) { c.mDelimiters.Tail()->element.end = "\""; }});
    changes.push_back({"delimiter added", [](CConfiguration& c) { c.mDelimiters.Append(CDelimiter("a", "b", 1)); }});
    for (const auto& [name, change] : changes) {
        CConfiguration changed;
        change(changed);
        EXPECT_FALSE(changed.IsEqual(CConfiguration())) << name;
        EXPECT_FALSE(CConfiguration().IsEqual(changed)) << name;
        CConfiguration copy;
        copy = changed;
        EXPECT_TRUE(copy.IsEqual(changed)) << name;
    }
}

TEST_F(ConfigurationRecordTest, OrderOfListElementsCounts)
{
    CConfiguration a, b;
    a.mGeneralOptions.offsiteHosts = {CFixedString255("a.test"), CFixedString255("b.test")};
    b.mGeneralOptions.offsiteHosts = {CFixedString255("b.test"), CFixedString255("a.test")};
    EXPECT_FALSE(a.IsEqual(b));
    CConfiguration c, d;
    c.mFormOptions.inputItemList.Append({"x", "1"});
    c.mFormOptions.inputItemList.Append({"y", "2"});
    d.mFormOptions.inputItemList.Append({"y", "2"});
    d.mFormOptions.inputItemList.Append({"x", "1"});
    EXPECT_FALSE(c.IsEqual(d));
}

TEST_F(ConfigurationRecordTest, CopiesAreDeepAndWhole)
{
    CConfiguration five;
    for (const char* host : {"1.test", "2.test", "3.test", "4.test", "5.test"})
        five.mGeneralOptions.offsiteHosts.emplace_back(host);
    CConfiguration three;
    for (const char* host : {"a.test", "b.test", "c.test"}) three.mGeneralOptions.offsiteHosts.emplace_back(host);
    five = three;
    EXPECT_EQ(five.mGeneralOptions.offsiteHosts.size(), 3u);
    EXPECT_TRUE(five.IsEqual(three));

    CConfiguration original;
    original.mSiteLogin.realmList.Append({"r", "u", "p"});
    CConfiguration copy(original);
    copy.mSiteLogin.realmList.Head()->element.password = "changed";
    copy.mCrawlFilters.suffixIs.Clear();
    copy.mMiscOptions.startMessage.Append(" more");
    EXPECT_EQ(original.mSiteLogin.realmList.Head()->element.password.str(), "p");
    EXPECT_EQ(original.mCrawlFilters.suffixIs.Count(), 4);
    EXPECT_EQ(original.mMiscOptions.startMessage.str(), "Tidewell is starting to crawl.");
    // The copy's filters were compiled from its own criteria.
    EXPECT_EQ(CConfiguration(original).mCrawlFilters.PositiveTests().Count(), 2);
}

TEST_F(ConfigurationRecordTest, RealmLookUpIsExactAndFirstWins)
{
    CSiteLogin login;
    login.realmList.Append({"Members", "ann", "one"});
    login.realmList.Append({"Members", "bob", "two"});
    login.realmList.Append({"Staff ", "carl", "three"});
    struct Case {
        const char* realm;
        bool found;
        const char* user;
        const char* password;
    } cases[] = {
        {"Members", true, "ann", "one"},
        {"members", false, "keep", "keep"},
        {"Staff", false, "keep", "keep"},
        {"Staff ", true, "carl", "three"},
        {"", false, "keep", "keep"},
    };
    for (const Case& c : cases) {
        CFixedString255 user = "keep", password = "keep";
        EXPECT_EQ(login.FindRealm(c.realm, user, password), c.found) << c.realm;
        EXPECT_EQ(user.str(), c.user) << c.realm;
        EXPECT_EQ(password.str(), c.password) << c.realm;
    }
}

}  // namespace
