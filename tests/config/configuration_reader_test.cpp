#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>
#include <vector>

#include "engine/config/configuration.h"
#include "engine/config/configuration_file_text.h"
#include "foundation/messaging/four_char_code.h"
#include "tests/config/config_test_environment.h"

namespace {

class ConfigurationReaderTest : public ConfigEnvironment {};

using Check = std::function<void(const CConfiguration&)>;
using Prepare = std::function<void(CConfiguration&)>;

struct ReaderCase {
    const char* name;
    std::string text;
    Check check;
    Prepare prepare = nullptr;
};

std::string Line(const std::string& key, const std::string& value) { return key + " " + value + "\xA5\r"; }

std::vector<std::string> Texts(const TPooledList<CFixedString255>& list)
{
    std::vector<std::string> texts;
    for (const auto& item : list) texts.push_back(item.str());
    return texts;
}

std::vector<std::string> Realm(const CConfiguration& c, int index)
{
    auto it = c.mSiteLogin.realmList.begin();
    for (int i = 0; i < index; ++i) ++it;
    return {it->realm.str(), it->userName.str(), it->password.str()};
}

const CGeneralOptions& G(const CConfiguration& c) { return c.mGeneralOptions; }

TEST_F(ConfigurationReaderTest, ToleranceTable)
{
    std::vector<ReaderCase> cases = {
        {"single-value keys ignore case", Line("DIRECTORYDEPTH", "5") + Line("linkdepth", "6"),
         [](const CConfiguration& c) {
             EXPECT_EQ(G(c).directoryDepth, 5);
             EXPECT_EQ(G(c).linkDepth, 6);
         }},
        {"list keys are exact", Line("OFFSITEHOSTS", "a.test") + Line("siteMapsuffixes", ".html"),
         [](const CConfiguration& c) {
             EXPECT_TRUE(G(c).offsiteHosts.empty());
             EXPECT_TRUE(c.mMiscOptions.siteMapSuffixes.IsEmpty());
         }},
        {"empty list items are dropped", Line("offsiteHosts", ",a.test,,b.test,") + Line("siteMapSuffixes", ",,"),
         [](const CConfiguration& c) {
             ASSERT_EQ(G(c).offsiteHosts.size(), 2u);
             EXPECT_EQ(G(c).offsiteHosts[1].str(), "b.test");
             EXPECT_TRUE(c.mMiscOptions.siteMapSuffixes.IsEmpty());
         }},
        {"missing keys keep the record's values", "",
         [](const CConfiguration& c) {
             EXPECT_EQ(G(c).directoryDepth, 99);
             EXPECT_EQ(c.mCrawlFilters.fileTypes.Count(), 2);
             EXPECT_EQ(c.mFormOptions.method, CFormOptions::kMethodPost);
             EXPECT_EQ(c.mMiscOptions.userAgent.str(), kTestUserAgent);
             EXPECT_TRUE(c.IsEqual(CConfiguration()));
         }},
        {"optional flags keep the record's values", Line("useCookies", "0"),
         [](const CConfiguration& c) {
             EXPECT_EQ(G(c).useCookies, 0);
             const std::uint8_t flags[] = {G(c).remapURLs, G(c).remapAllPHP, G(c).relinkURLs,
                                           G(c).checkForRedirection, G(c).remapSecondaryDomains,
                                           G(c).crawlSecondaryDomains, G(c).setExtensionFromContentType,
                                           G(c).alwaysUseExtension};
             EXPECT_EQ(std::vector<int>(flags, flags + 8), std::vector<int>({0, 0, 0, 0, 0, 0, 1, 0}));
         },
         [](CConfiguration& c) {
             for (std::uint8_t* flag : {&c.mGeneralOptions.remapURLs, &c.mGeneralOptions.remapAllPHP,
                                        &c.mGeneralOptions.relinkURLs, &c.mGeneralOptions.checkForRedirection,
                                        &c.mGeneralOptions.remapSecondaryDomains,
                                        &c.mGeneralOptions.crawlSecondaryDomains,
                                        &c.mGeneralOptions.setExtensionFromContentType,
                                        &c.mGeneralOptions.alwaysUseExtension})
                 *flag = !*flag;
         }},
        {"values that would stall a crawl are held",
         Line("directoryDepth", "0") + Line("linkDepth", "0") + Line("pauseSeconds", "-3") + Line("yieldQuantum", "") +
             Line("timeout", "-5"),
         [](const CConfiguration& c) {
             EXPECT_EQ(G(c).directoryDepth, 0);
             EXPECT_EQ(G(c).linkDepth, 1);
             EXPECT_EQ(G(c).pauseSeconds, 0);
             EXPECT_EQ(G(c).yieldQuantum, 1);
             EXPECT_EQ(G(c).timeout, 1);
         }},
        {"numbers are leading decimals",
         Line("directoryDepth", "abc") + Line("linkDepth", "  +7 levels") + Line("saveAction", "99999999999") +
             Line("generateSiteMap", "-99999999999") + Line("useRobotsTxt", "257") + Line("useCookies", "256"),
         [](const CConfiguration& c) {
             EXPECT_EQ(G(c).directoryDepth, 0);
             EXPECT_EQ(G(c).linkDepth, 7);
             EXPECT_EQ(G(c).saveAction, INT_MAX);
             EXPECT_EQ(c.mMiscOptions.generateSiteMap, INT_MIN);
             EXPECT_EQ(G(c).useRobotsTxt, 1);
             EXPECT_EQ(G(c).useCookies, 0);
         }},
        {"only exactly GET selects GET", Line("method", "get"),
         [](const CConfiguration& c) { EXPECT_EQ(c.mFormOptions.method, CFormOptions::kMethodPost); },
         [](CConfiguration& c) { c.mFormOptions.method = CFormOptions::kMethodGet; }},
        {"GET", Line("method", "GET"),
         [](const CConfiguration& c) { EXPECT_EQ(c.mFormOptions.method, CFormOptions::kMethodGet); }},
        {"empty method posts", Line("method", ""),
         [](const CConfiguration& c) { EXPECT_EQ(c.mFormOptions.method, CFormOptions::kMethodPost); },
         [](CConfiguration& c) { c.mFormOptions.method = CFormOptions::kMethodGet; }},
        {"sizes: -1 and empty are unset, the first line is the grab set's",
         Line("sizeLessThan", "-1") + Line("sizeGreaterThan", "") + Line("sizeLessThan", "5000") +
             Line("sizeGreaterThan", "12x"),
         [](const CConfiguration& c) {
             EXPECT_EQ(c.mGrabFilters.sizeLessThan, -1);
             EXPECT_EQ(c.mGrabFilters.sizeGreaterThan, -1);
             EXPECT_EQ(c.mCrawlFilters.sizeLessThan, 5000);
             EXPECT_EQ(c.mCrawlFilters.sizeGreaterThan, 12);
             EXPECT_EQ(c.mSaveFilters.sizeLessThan, -1);
         },
         [](CConfiguration& c) { c.mGrabFilters.sizeLessThan = c.mGrabFilters.sizeGreaterThan = 7; }},
        {"filter sets take their lines in turn",
         Line("filenameContains", "a") + Line("fileTypes", "PICT") + Line("filenameContains", "b") +
             Line("fileTypes", "") + Line("filenameContains", "c") + Line("fileTypes", "JPEG,TEXT"),
         [](const CConfiguration& c) {
             EXPECT_EQ(Texts(c.mGrabFilters.filenameContains), std::vector<std::string>({"a"}));
             EXPECT_EQ(Texts(c.mCrawlFilters.filenameContains), std::vector<std::string>({"b"}));
             EXPECT_EQ(Texts(c.mSaveFilters.filenameContains), std::vector<std::string>({"c"}));
             EXPECT_EQ(c.mGrabFilters.fileTypes.Head()->element, MakeFourCharCode("PICT"));
             EXPECT_TRUE(c.mCrawlFilters.fileTypes.IsEmpty());
             EXPECT_EQ(c.mSaveFilters.fileTypes.Count(), 2);
             EXPECT_EQ(c.mGrabFilters.PositiveTests().Count(), 1);
         }},
        {"realm fields stay in place",
         Line("realmList", "only,r\t\tp,\tu\t,a\tb\tc\td,,%2C\t%09\t%25%2c"),
         [](const CConfiguration& c) {
             ASSERT_EQ(c.mSiteLogin.realmList.Count(), 5);
             EXPECT_EQ(Realm(c, 0), std::vector<std::string>({"only", "", ""}));
             EXPECT_EQ(Realm(c, 1), std::vector<std::string>({"r", "", "p"}));
             EXPECT_EQ(Realm(c, 2), std::vector<std::string>({"", "u", ""}));
             // A TAB that an old file held inside the last field stays in it.
             EXPECT_EQ(Realm(c, 3), std::vector<std::string>({"a", "b", "c\td"}));
             EXPECT_EQ(Realm(c, 4), std::vector<std::string>({",", "\t", "%,"}));
         }},
        {"realm and input lists are replaced only when present", Line("siteUsername", "x"),
         [](const CConfiguration& c) {
             EXPECT_EQ(c.mSiteLogin.realmList.Count(), 1);
             EXPECT_EQ(c.mFormOptions.inputItemList.Count(), 1);
         },
         [](CConfiguration& c) {
             c.mSiteLogin.realmList.Append({"r", "u", "p"});
             c.mFormOptions.inputItemList.Append({"n", "v"});
         }},
        {"empty realm and input lists empty them", Line("realmList", "") + Line("inputItemList", ""),
         [](const CConfiguration& c) {
             EXPECT_TRUE(c.mSiteLogin.realmList.IsEmpty());
             EXPECT_TRUE(c.mFormOptions.inputItemList.IsEmpty());
         },
         [](CConfiguration& c) {
             c.mSiteLogin.realmList.Append({"r", "u", "p"});
             c.mFormOptions.inputItemList.Append({"n", "v"});
         }},
        {"percent texts of old files read as they stand", Line("inputItemList", "q\tx%20y%41%,r\t%2"),
         [](const CConfiguration& c) {
             EXPECT_EQ(c.mFormOptions.inputItemList.Head()->element.value.str(), "x%20y%41%");
             EXPECT_EQ(c.mFormOptions.inputItemList.Tail()->element.value.str(), "%2");
         }},
        {"NUL bytes read as blanks", Line("name", std::string("a\0b", 3)) + Line(std::string("pass\0word", 9), "x"),
         [](const CConfiguration& c) {
             EXPECT_EQ(G(c).name.str(), "a b");
             EXPECT_EQ(G(c).password.str(), "");
         }},
        {"junk after the last key", Line("timeout", "12") + "trailing junk\r\n\x01" + Line("nonsense", "1") + "name x",
         [](const CConfiguration& c) {
             EXPECT_EQ(G(c).timeout, 12);
             EXPECT_EQ(G(c).name.str(), "");
         }},
        {"a key inside a value is no key", Line("startMessage", "hello\rname evil\rtimeout 5"),
         [](const CConfiguration& c) {
             EXPECT_EQ(c.mMiscOptions.startMessage.str(), "hello\rname evil\rtimeout 5");
             EXPECT_EQ(G(c).name.str(), "");
             EXPECT_EQ(G(c).timeout, 30);
         }},
        {"a file of the original program is MacRoman",
         Line("name", "Caf\x8E") + Line("startMessage", "\xA5 one\r\xA5 two") + Line("mailTo", "ann"),
         [](const CConfiguration& c) {
             EXPECT_EQ(G(c).name.str(), "Caf\xC3\xA9");
             EXPECT_EQ(c.mMiscOptions.startMessage.str(), "\xE2\x80\xA2 one\r\xE2\x80\xA2 two");
             EXPECT_EQ(c.mMiscOptions.mailTo.str(), "ann");
         }},
        {"a MacRoman character before a return",
         Line("finishMessage", "fin\x8C\rnext") + Line("replyTo", "r"),
         [](const CConfiguration& c) {
             EXPECT_EQ(c.mMiscOptions.finishMessage.str(), "fin\xC3\xA5\rnext");
             EXPECT_EQ(c.mMiscOptions.replyTo.str(), "r");
         }},
        {"UTF-8 characters ending in A5 before a return",
         Line("finishMessage", "p\xC3\xA5\r\xD0\xA5\r\n") + Line("name", "\xC2\xA5") + Line("host", "Caf\xC3\xA9"),
         [](const CConfiguration& c) {
             EXPECT_EQ(c.mMiscOptions.finishMessage.str(), "p\xC3\xA5\r\xD0\xA5\r\n");
             EXPECT_EQ(G(c).name.str(), "\xC2\xA5");
             EXPECT_EQ(G(c).host.str(), "Caf\xC3\xA9");
         }},
        {"a value without its end mark is not found", "name abc",
         [](const CConfiguration& c) { EXPECT_EQ(G(c).name.str(), ""); }},
    };
    for (const ReaderCase& c : cases) {
        SCOPED_TRACE(c.name);
        CConfiguration configuration;
        if (c.prepare) c.prepare(configuration);
        CTextBuffer text{std::string_view(c.text)};
        configuration.ReadText(text);
        c.check(configuration);
    }
}

TEST_F(ConfigurationReaderTest, TellsOurTextFromTheOriginalsText)
{
    struct Case {
        std::string bytes;
        bool utf8;
    } cases[] = {
        {"", true},
        {"name a\xA5\r", true},
        {"name \xC3\xA5\xA5\r", true},
        {"name \xC3\xA5\rmore\xA5\r", true},
        {"name \xE5\xAE\x8C\xA5\r", true},
        {"name \x8E\xA5\r", false},
        {"name a\xA5 b\xA5\r", false},
        {"name \xC3\xA5\xA5", false},
        {"name \xE5\xAE\xA5\r", true},
        {"name \xE5\xA5\r", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsUtf8ConfigurationText(c.bytes), c.utf8) << c.bytes;
}

}  // namespace
