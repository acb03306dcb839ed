#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include <unistd.h>

#include "foundation/text/text_encodings.h"

namespace {

std::string ReadResourceFile()
{
    std::ifstream in(std::string(TIDEWELL_SOURCE_DIR) + "/resources/ISO8559", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

const CEntityTable& ProgramTable()
{
    static const auto table = std::make_unique<CEntityTable>(ReadResourceFile());
    return *table;
}

struct DecodeCase {
    const char* input;
    const char* expected;
};

class DecodeEntitiesTest : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeEntitiesTest, DecodesInPlaceAndAsCopy)
{
    const DecodeCase& c = GetParam();
    std::string buffer(c.input);
    std::size_t length = DecodeEntities(buffer.data(), &ProgramTable());
    EXPECT_EQ(std::string(buffer.c_str()), c.expected);
    EXPECT_EQ(length, std::string(c.expected).size());
    EXPECT_EQ(DecodeEntities(std::string_view(c.input), &ProgramTable()), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Entities, DecodeEntitiesTest,
    ::testing::Values(
        DecodeCase{"&amp;", "&"},
        DecodeCase{"a&lt;b&gt;c", "a<b>c"},
        DecodeCase{"&#38;", "&"},                       // numeric column of the table
        DecodeCase{"caf&eacute;", "caf\xC3\xA9"},       // Latin-1 entity as UTF-8
        DecodeCase{"&Eacute;&eacute;", "\xC3\x89\xC3\xA9"},  // names are case-sensitive
        DecodeCase{"&EACUTE;", "&EACUTE;"},
        DecodeCase{"a&nbsp;b", "a\xC2\xA0" "b"},
        DecodeCase{"&mdash;&hellip;&euro;&trade;", "\xE2\x80\x94\xE2\x80\xA6\xE2\x82\xAC\xE2\x84\xA2"},
        DecodeCase{"&lsquo;x&rsquo; &ldquo;y&rdquo;", "\xE2\x80\x98x\xE2\x80\x99 \xE2\x80\x9Cy\xE2\x80\x9D"},
        DecodeCase{"&alpha;&Omega;", "\xCE\xB1\xCE\xA9"},
        DecodeCase{"&bogus;", "&bogus;"},              // unknown entities stay
        DecodeCase{"&amp", "&amp"},                    // no ';'
        DecodeCase{"&amp;amp;", "&amp;"},              // decoded chars are never decoded again
        DecodeCase{"&#38;amp;", "&amp;"},
        DecodeCase{"&#x26;lt;", "&lt;"},
        DecodeCase{"&&amp;", "&&"},
        DecodeCase{"a & b; c", "a & b; c"},
        DecodeCase{"&abcdefghijklmnop;&amp;", "&abcdefghijklmnop;&"},
        DecodeCase{"&#039;", "'"},                     // numeric entities not in the table
        DecodeCase{"&#39;s", "'s"},
        DecodeCase{"&#x2F;&#X2f;", "//"},
        DecodeCase{"&#233;", "\xC3\xA9"},
        DecodeCase{"&#x20AC;", "\xE2\x82\xAC"},
        DecodeCase{"&#128512;", "\xF0\x9F\x98\x80"},
        DecodeCase{"&#x1F600;", "\xF0\x9F\x98\x80"},
        DecodeCase{"&#9;&#10;", "\t\n"},
        DecodeCase{"&#0;", "&#0;"},                    // a NUL would end the text
        DecodeCase{"&#1;&#x7F;&#150;", "&#1;&#x7F;&#150;"},  // control chars stay as written
        DecodeCase{"&#xD800;", "&#xD800;"},            // surrogates are not characters
        DecodeCase{"&#x110000;&#99999999999;", "&#x110000;&#99999999999;"},
        DecodeCase{"&#;&#x;&#12a;&#xG1;", "&#;&#x;&#12a;&#xG1;"},
        DecodeCase{"", ""},
        DecodeCase{"&", "&"},
        DecodeCase{"x&", "x&"}));

TEST(EntityTableTest, ResourceHoldsTheHtmlEntitiesInRowFormat)
{
    std::string text = ReadResourceFile();
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.find('\r'), std::string::npos);
    EXPECT_EQ(text.back(), '\n');

    std::istringstream lines(text);
    std::string line;
    int rows = 0;
    while (std::getline(lines, line)) {
        ++rows;
        std::size_t tab1 = line.find('\t');
        std::size_t tab2 = line.find('\t', tab1 + 1);
        ASSERT_NE(tab2, std::string::npos) << line;
        EXPECT_EQ(line.find('\t', tab2 + 1), std::string::npos) << line;
        std::string named = line.substr(tab1 + 1, tab2 - tab1 - 1);
        std::string numeric = line.substr(tab2 + 1);
        EXPECT_TRUE(named.size() > 2 && named.front() == '&' && named.back() == ';') << line;
        EXPECT_TRUE(numeric.size() > 3 && numeric.compare(0, 2, "&#") == 0 && numeric.back() == ';') << line;
        // The character is the UTF-8 form of the numeric entity.
        std::string viaNumber = DecodeEntities(numeric, &ProgramTable());
        EXPECT_EQ(viaNumber, line.substr(0, tab1)) << line;
    }
    EXPECT_EQ(rows, 252);
    EXPECT_EQ(ProgramTable().RowCount(), 252);
}

TEST(EntityTableTest, ParsesRowsEndedByCrOrLfAndSkipsBrokenOnes)
{
    CEntityTable table("A\t&a;\t&#65;\rB\t&b;\t&#66;\n\nbroken row\nC\t&c;\t&#67;");
    EXPECT_EQ(table.RowCount(), 3);
    EXPECT_STREQ(table.FindCharForEntity("&a;"), "A");
    EXPECT_STREQ(table.FindCharForEntity("&#66;"), "B");
    EXPECT_STREQ(table.FindCharForEntity("&c;"), "C");
    EXPECT_EQ(table.FindCharForEntity("&a"), nullptr);
    EXPECT_EQ(table.FindCharForEntity("&d;"), nullptr);
}

TEST(EntityTableTest, NamedEntitiesWinAndLaterRowsWin)
{
    // "&#66;" is the named entity of row 1 and the numeric entity of row 2.
    CEntityTable table("X\t&#66;\t&#88;\nB\t&b;\t&#66;\nY\t&x;\t&#89;\nZ\t&x;\t&#90;\n");
    EXPECT_STREQ(table.FindCharForEntity("&#66;"), "X");
    EXPECT_STREQ(table.FindCharForEntity("&x;"), "Z");
}

TEST(EntityTableTest, StopsAtTheRowLimit)
{
    std::string text;
    for (int i = 0; i < CEntityTable::kRowLimit + 10; ++i)
        text += "c\t&e" + std::to_string(i) + ";\t&#" + std::to_string(1000 + i) + ";\n";
    auto table = std::make_unique<CEntityTable>(text);
    EXPECT_EQ(table->RowCount(), CEntityTable::kRowLimit);
    EXPECT_NE(table->FindCharForEntity("&e255;"), nullptr);
    EXPECT_EQ(table->FindCharForEntity("&e256;"), nullptr);
}

TEST(EntityTableTest, AnEntityEndsAtMostFifteenCharsAfterItsAmpersand)
{
    CEntityTable table("X\t&abcdefghijklmn;\t&#1;\nY\t&abcdefghijklmno;\t&#2;\n");
    EXPECT_EQ(DecodeEntities(std::string_view("&abcdefghijklmn;"), &table), "X");
    EXPECT_EQ(DecodeEntities(std::string_view("&abcdefghijklmno;"), &table), "&abcdefghijklmno;");
}

TEST(EntityTableTest, ARowLongerThanItsEntityIsNotDecodedInPlace)
{
    CEntityTable table("long text\t&l;\t&#1;\n");
    std::string text = "a&l;b";
    DecodeEntities(text.data(), &table);
    EXPECT_STREQ(text.c_str(), "a&l;b");
}

TEST(EntityTableTest, SharedTableComesFromTheResourcesFolder)
{
    const CEntityTable* shared = CEntityTable::Shared();
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(shared, CEntityTable::Shared());
    EXPECT_EQ(shared->RowCount(), 252);
    EXPECT_EQ(DecodeEntities(std::string_view("M&uuml;nchen &amp; co")), "M\xC3\xBCnchen & co");
}

class ResourceFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (const char* old = std::getenv("TIDEWELL_RESOURCES")) mOld = old, mHadOld = true;
        char pattern[] = "/tmp/enc-resources-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        mFolder = pattern;
    }
    void TearDown() override
    {
        if (mHadOld) ::setenv("TIDEWELL_RESOURCES", mOld.c_str(), 1);
        else ::unsetenv("TIDEWELL_RESOURCES");
        std::remove((mFolder + "/Sample").c_str());
        ::rmdir(mFolder.c_str());
    }
    std::string mFolder;
    std::string mOld;
    bool mHadOld = false;
};

TEST_F(ResourceFolderTest, EnvironmentOverridesTheBuiltInFolder)
{
    ::unsetenv("TIDEWELL_RESOURCES");
    EXPECT_EQ(ResourceFolder(), TIDEWELL_RESOURCE_DIR);
    std::string text;
    EXPECT_TRUE(LoadNamedTextResource("ISO8559", text));
    EXPECT_FALSE(text.empty());

    ::setenv("TIDEWELL_RESOURCES", mFolder.c_str(), 1);
    EXPECT_EQ(ResourceFolder(), mFolder);
    EXPECT_FALSE(LoadNamedTextResource("ISO8559", text));
    EXPECT_TRUE(text.empty());

    std::ofstream(mFolder + "/Sample", std::ios::binary) << std::string("a\0b\xA5\r", 5);
    EXPECT_TRUE(LoadNamedTextResource("Sample", text));
    EXPECT_EQ(text, std::string("a\0b\xA5\r", 5));
}

TEST_F(ResourceFolderTest, NamesThatAreNotPlainNamesAreRefused)
{
    ::setenv("TIDEWELL_RESOURCES", mFolder.c_str(), 1);
    std::string text;
    for (const char* name : {"", ".", "..", "../ISO8559", "/etc/passwd"})
        EXPECT_FALSE(LoadNamedTextResource(name, text)) << name;
    EXPECT_FALSE(LoadNamedTextResource(nullptr, text));
}

}  // namespace
