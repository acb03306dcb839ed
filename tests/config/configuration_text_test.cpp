#include <gtest/gtest.h>

#include <string>

#include "engine/config/configuration.h"
#include "tests/config/config_test_environment.h"
#include "tests/config/configuration_fields.h"
#include "tests/support/file_bytes.h"

namespace {

class ConfigurationTextTest : public ConfigEnvironment {};

std::string TextOf(const CConfiguration& c)
{
    CTextBuffer out;
    c.WriteText(out);
    return out.str();
}

// A record whose every saved field differs from the defaults.
CConfiguration EveryFieldChanged()
{
    CConfiguration c;
    for (const auto& change : SavedFieldChanges()) change.second(c);
    for (CFilterSet* set : {&c.mGrabFilters, &c.mCrawlFilters, &c.mSaveFilters}) set->Compile();
    return c;
}

CConfiguration ReadBack(const std::string& text, CConfiguration into = CConfiguration())
{
    CTextBuffer buffer{std::string_view(text)};
    into.ReadText(buffer);
    return into;
}

TEST_F(ConfigurationTextTest, DefaultConfigurationMatchesTheGoldenFile)
{
    std::string golden = testsupport::ReadFileBytes(TIDEWELL_SOURCE_DIR "/tests/config/golden/default.configuration");
    ASSERT_FALSE(golden.empty());
    EXPECT_EQ(TextOf(CConfiguration()), golden);

    // Read over a record that differs in every field: every key is read.
    CConfiguration read = ReadBack(golden, EveryFieldChanged());
    EXPECT_TRUE(read.IsEqual(CConfiguration()));
}

TEST_F(ConfigurationTextTest, EveryFieldSurvivesAWriteAndARead)
{
    CConfiguration written = EveryFieldChanged();
    std::string text = TextOf(written);
    CConfiguration read = ReadBack(text);
    EXPECT_TRUE(read.IsEqual(written));
    EXPECT_EQ(TextOf(read), text);

    // Each change alone, too, so that no field hides behind another.
    for (const auto& [name, change] : SavedFieldChanges()) {
        CConfiguration one;
        change(one);
        EXPECT_TRUE(ReadBack(TextOf(one)).IsEqual(one)) << name;
    }
}

TEST_F(ConfigurationTextTest, TheThreeFilterSetsKeepTheirOwnSettings)
{
    CConfiguration c = EveryFieldChanged();
    CConfiguration read = ReadBack(TextOf(c));
    EXPECT_EQ(read.mGrabFilters.filenameContains.Head()->element.str(), "grab-filenameContains");
    EXPECT_EQ(read.mCrawlFilters.filenameContains.Head()->element.str(), "crawl-filenameContains");
    EXPECT_EQ(read.mSaveFilters.pathToScript.str(), "/home/tester/bin/save filter.sh");
    // Read sets are compiled.
    EXPECT_EQ(read.mSaveFilters.PositiveTests().Count(), 8);
    EXPECT_EQ(read.mSaveFilters.NegativeTests().Count(), 8);
    EXPECT_EQ(read.mSaveFilters.OtherTests().Count(), 4);
}

TEST_F(ConfigurationTextTest, ItemsWithSeparatorsAreEscapedOnlyWhereNeeded)
{
    CConfiguration c;
    c.mSiteLogin.realmList.Append({"Members", "ann", "a,b\tc"});
    c.mSiteLogin.realmList.Append({"100% sure", "", "%2C"});
    c.mFormOptions.inputItemList.Append({"q", "x%20y"});
    std::string text = TextOf(c);
    EXPECT_NE(text.find("realmList Members\tann\ta%2Cb%09c,100% sure\t\t%252C\xA5\r"), std::string::npos);
    EXPECT_NE(text.find("inputItemList q\tx%20y\xA5\r"), std::string::npos);
    EXPECT_TRUE(ReadBack(text).IsEqual(c));
}

TEST_F(ConfigurationTextTest, SummaryDescribesEverySettingUnderItsHeading)
{
    CConfiguration c = EveryFieldChanged();
    CTextBuffer summary;
    c.MakeSummary(summary);
    std::string text = summary.str();
    std::size_t general = text.find("General\r\r\t\tdirectoryDepth : 3\r\r");
    std::size_t grab = text.find("Grab filters\r\r\t\tfilenameContains : grab-filenameContains,second\r\r");
    std::size_t crawl = text.find("Crawl filters\r\r\t\tfilenameContains : crawl-filenameContains,second\r\r");
    std::size_t save = text.find("Save filters\r\r\t\tfilenameContains : save-filenameContains,second\r\r");
    std::size_t misc = text.find("Miscellaneous\r\r\t\tlogFolder : /var/log/tidewell\r\r");
    std::size_t form = text.find("Input Items\r\r\t\tformURL : http://example.test/login\r\r");
    EXPECT_EQ(general, 0u);
    EXPECT_LT(general, grab);
    EXPECT_LT(grab, crawl);
    EXPECT_LT(crawl, save);
    EXPECT_LT(save, misc);
    EXPECT_LT(misc, form);
    EXPECT_NE(form, std::string::npos);
    EXPECT_NE(text.find("\t\trealmList : Members Area\tann\ta%2Cb%09c,\t\t,Staff\t\t100%2525 sure"), std::string::npos);
    EXPECT_NE(text.find("\t\tmethod : GET\r\r"), std::string::npos);
    EXPECT_NE(text.find("\t\tfileTypes : PICT,JPEG\r\r"), std::string::npos);
    EXPECT_TRUE(text.ends_with("\t\tinputItemList : user\tann,empty\t,\tno name,list\t1%2C2%093 %2509\r\r"));
    // 123 description lines, each opening right after a heading or the line before.
    std::size_t lines = 0;
    for (std::size_t at = text.find("\r\r\t\t"); at != std::string::npos; at = text.find("\r\r\t\t", at + 1)) ++lines;
    EXPECT_EQ(lines, 123u);
}

}  // namespace
