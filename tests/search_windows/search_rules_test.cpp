// The search's word tests, its results tree and the heading's divider rules,
// each as a table of cases.
#include <gtest/gtest.h>

#include "app/windows/search/found_files.h"
#include "app/windows/search/search_words.h"
#include "app/windows/widgets/heading_rules.h"

namespace {

TEST(SearchWords, TermsAgainstTheWordLine)
{
    const struct {
        const char* line;
        const char* query;
        SSearchOptions options;  // match case, all terms, whole words
        bool matches;
    } cases[] = {
        {"cat dog ", "cat dog", {false, true, true}, true},
        {"cats dog ", "cat dog", {false, true, true}, false},
        {"cats dog ", "cat dog", {false, true, false}, true},
        {"cats dog ", "cat dog", {false, false, true}, true},   // any term: dog
        {"cats dogs ", "cat dog", {false, false, true}, false},
        {"cat ", "Cat", {true, true, true}, false},
        {"cat ", "Cat", {false, true, true}, true},
        {"Café ", "CAFÉ", {false, true, true}, false},           // only ASCII letters ignore case
        {"café ", "CAFé", {false, true, true}, true},
        {"   ", "", {false, true, true}, false},                 // no terms never match
        {"sea\xC2\xA0" "shore ", "shore", {true, true, true}, true},  // the no-break space parts words
        {"à la ", "la", {true, true, true}, true},               // 0xA0 inside "à" is no delimiter
        {"voilà ", "voil", {true, true, true}, false},
        {"x<tag>y ", "tag", {true, true, true}, true},
        {"a-b ", "a", {true, true, true}, true},                 // at the start a non-alphanumeric ends it
        {"ab-c ", "b", {true, true, true}, false},
    };
    const CWordDelimiters delimiters;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.line) + " / " + c.query);
        TPooledList<CFixedString255> terms;
        CFixedString255(c.query).Split(" ", terms);
        EXPECT_EQ(MatchesTerms(c.line, terms, c.options, delimiters), c.matches);
    }
}

TEST(SearchWords, TheLineListsWordsByCountOrAlphabetically)
{
    PlistValue words = PlistValue::MakeDictionary();
    words.Set("tide", PlistValue::MakeInteger(2));
    words.Set("bay", PlistValue::MakeInteger(5));
    words.Set("odd", PlistValue::MakeString("x"));  // no count: compares equal
    words.Set("anchor", PlistValue::MakeInteger(2));
    EXPECT_EQ(MakeWordText(words, " ", false), "bay tide odd anchor ");
    EXPECT_EQ(MakeWordText(words, ",", true), "anchor,bay,odd,tide,");
    EXPECT_EQ(MakeWordText(PlistValue::MakeDictionary(), " ", false), "");
}

TPooledList<CFixedString255> Path(std::initializer_list<const char*> names)
{
    TPooledList<CFixedString255> path;
    for (const char* name : names) path.Append(CFixedString255(name));
    return path;
}

TEST(FoundFiles, FilesShareTheirFoldersAndAreListedOnce)
{
    CFolderNode root(nullptr, CFixedString255("Search Results"));
    const auto found = [](const char* path) {
        CFoundFile file;
        file.mRef = CFileRef(path);
        file.mName = CFixedString255(CFileRef(path).Name());
        return file;
    };
    FileFound(root, Path({"/", "site", "a:b"}), found("/site/a:b/one.html"));
    FileFound(root, Path({"/", "site", "a:b"}), found("/site/a:b/two.html"));
    FileFound(root, Path({"/", "site", "a:b"}), found("/site/a:b/one.html"));
    FileFound(root, Path({"/", "site"}), found("/site/index.html"));
    FileFound(root, Path({"/", "other"}), found("/other/x.html"));

    ASSERT_EQ(root.Children().size(), 1u);
    CFolderNode* site = root.FindNodeAtPath(Path({"/", "site"}));
    ASSERT_NE(site, nullptr);
    EXPECT_EQ(site->Files().size(), 1u);
    CFolderNode* folder = site->FindChild(CFixedString255("a:b"));
    ASSERT_NE(folder, nullptr);
    ASSERT_EQ(folder->Files().size(), 2u);
    EXPECT_EQ(folder->Files()[1].mRef.Path(), "/site/a:b/two.html");
    EXPECT_EQ(folder->DiskPath(), "/site/a:b");
    EXPECT_EQ(root.FindNodeAtPath(Path({"/"}))->Children().size(), 2u);
    EXPECT_EQ(root.FindNodeAtPath(Path({"/", "missing"})), nullptr);
    EXPECT_EQ(root.FindNodeAtPath(Path({})), &root);
    EXPECT_EQ(root.DiskPath(), "");
}

TEST(HeadingRules, WhichDividerAPointDrags)
{
    const int none = kNoMaxColumnWidth;
    const struct {
        std::vector<SColumnLimits> columns;
        int x;
        int column;
    } cases[] = {
        {{{100, 20, none}, {50, 20, none}}, 50, 0},     // inside a heading
        {{{100, 20, none}, {50, 20, none}}, 99, 1},     // just inside its right edge
        {{{100, 20, none}, {50, 20, none}}, 101, 1},    // just inside the next one's left edge
        {{{100, 20, none}, {50, 20, none}}, 103, 0},
        {{{100, 20, none}, {50, 20, none}}, 151, 2},    // past the last heading
        {{{100, 20, none}, {50, 50, 50}}, 150, 0},      // a fixed column of some width
        {{{100, 20, none}, {50, 50, 50}}, 100, 1},
        {{{100, 20, none}, {0, 0, 0}}, 100, 1},         // a fixed column of width 0: its left neighbour
        {{{100, 100, 100}, {0, 0, 0}}, 100, 0},         // ... unless that one is fixed too
        {{{100, 20, none}, {0, 0, 0}, {0, 0, 0}, {30, 0, none}}, 100, 1},
        {{}, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.x);
        EXPECT_EQ(FindResizeColumn(c.columns, c.x), c.column);
    }
}

TEST(HeadingRules, LimitsAndTheirTravel)
{
    const int none = kNoMaxColumnWidth;
    const struct {
        SColumnLimits column;
        int asked, width;
    } widths[] = {
        {{0, 20, 80}, 10, 20}, {{0, 20, 80}, 500, 80}, {{0, 20, none}, 5000, 5000}, {{0, 0, none}, -3, 0},
    };
    for (const auto& c : widths) EXPECT_EQ(ClampColumnWidth(c.column, c.asked), c.width) << c.asked;

    EXPECT_EQ(LimitedMinWidth(90, 80), 80);  // a minimum above the maximum becomes the maximum
    EXPECT_EQ(LimitedMinWidth(30, 80), 30);
    EXPECT_EQ(LimitedMaxWidth(10, 20), 20);

    const std::vector<SColumnLimits> columns = {{100, 20, none}, {50, 30, 60}, {40, 40, 41}};
    EXPECT_EQ(ResizeLimit(columns, 1).left, 20);
    EXPECT_EQ(ResizeLimit(columns, 1).right, kUnboundedRight);
    EXPECT_EQ(ResizeLimit(columns, 2).left, 130);
    EXPECT_EQ(ResizeLimit(columns, 2).right, 161);
    EXPECT_TRUE(CanTrackResize(2, ResizeLimit(columns, 1)));
    EXPECT_TRUE(CanTrackResize(1, ResizeLimit(columns, 2)));
    EXPECT_FALSE(CanTrackResize(3, ResizeLimit(columns, 2)));
    EXPECT_FALSE(CanTrackResize(2, ResizeLimit(columns, 3)));  // narrower than the divider band
    EXPECT_FALSE(CanTrackResize(2, ResizeLimit(columns, 4)));

    // Grabbed two pixels right of the edge: the edge stays inside 130..160.
    EXPECT_EQ(ClampTrackPoint(100, ResizeLimit(columns, 2), 2), 132);
    EXPECT_EQ(ClampTrackPoint(150, ResizeLimit(columns, 2), 2), 150);
    EXPECT_EQ(ClampTrackPoint(400, ResizeLimit(columns, 2), 2), 162);
    EXPECT_EQ(ShiftSpan(ResizeLimit(columns, 1), 10).right, kUnboundedRight);
}

}  // namespace
