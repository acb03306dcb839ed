#include <gtest/gtest.h>

#include <string>

#include "engine/config/configuration.h"
#include "engine/config/configuration_file_text.h"
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

OSType GetBigEndian32Bytes(const char (&bytes)[5])
{
    OSType code = 0;
    for (int i = 0; i < 4; ++i) code = (code << 8) | static_cast<unsigned char>(bytes[i]);
    return code;
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

// A code is four bytes of any value; its line must stay UTF-8, keep its end
// mark and give the same four bytes back.
TEST_F(ConfigurationTextTest, EveryFileTypeCodeSurvivesAWriteAndARead)
{
    struct Case {
        const char* what;
        const char bytes[5];
        const char* written;
    };
    const Case cases[] = {
        {"plain", "TEXT", "TEXT"},
        {"trailing blank", "PDF ", "PDF "},
        {"short code", {'a', 'b', 0, 0, 0}, "ab"},
        {"zero", {0, 0, 0, 0, 0}, "%00"},
        {"leading NUL", {0, 'a', 'b', 'c', 0}, "%00abc"},
        {"whole two-byte character", "\xC3\xA9" "ab", "\xC3\xA9" "ab"},
        {"whole four-byte character", "\xF0\x9F\x8C\x8A", "\xF0\x9F\x8C\x8A"},
        {"character cut at the end", "a\xC3\xA9\xC3", "a\xC3\xA9%C3"},
        {"three-byte character and a cut one", "\xE6\x97\xA5\xC2", "\xE6\x97\xA5%C2"},
        {"lone continuation bytes", "\xA5\x0D\xA5\x0D", "%A5%0D%A5%0D"},
        {"MacRoman bytes", "\xA5\xE9\xFF\x80", "%A5%E9%FF%80"},
        {"separators", "a,b%", "a%2Cb%25"},
        {"percent text", "%41A", "%2541A"},
        {"controls", "\t\r\n\x7F", "%09%0D%0A%7F"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CConfiguration written = EveryFieldChanged();
        const OSType code = GetBigEndian32Bytes(c.bytes);
        written.mCrawlFilters.fileTypes.Clear();
        written.mCrawlFilters.fileTypes.Append(code);
        written.mCrawlFilters.fileTypes.Append(MakeFourCharCode("TEXT"));
        written.mCrawlFilters.Compile();
        std::string text = TextOf(written);
        EXPECT_TRUE(IsUtf8ConfigurationText(text));
        EXPECT_NE(text.find("fileTypes " + std::string(c.written) + ",TEXT\xA5\r"), std::string::npos);
        CConfiguration read = ReadBack(text);
        EXPECT_TRUE(read.IsEqual(written));
        EXPECT_EQ(TextOf(read), text);
    }
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
