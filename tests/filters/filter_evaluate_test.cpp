#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "engine/filters/filter_set.h"
#include "engine/filters/filter_tests.h"
#include "tests/filters/filter_url_records.h"

namespace {

using Criteria = std::function<void(CFilterSet&)>;

struct EvaluateCase {
    const char* name;
    Criteria criteria;
    UrlFields url;
    bool passes;
};

bool Passes(const Criteria& criteria, const UrlFields& fields)
{
    CFilterSet filters;
    criteria(filters);
    filters.Compile();
    return filters.Evaluate(*MakeURL(fields));
}

void RunCases(const std::vector<EvaluateCase>& cases)
{
    for (const EvaluateCase& c : cases) EXPECT_EQ(Passes(c.criteria, c.url), c.passes) << c.name << " on " << c.url.url;
}

constexpr const char* kStyle = "http://example.test/css/style.css";
constexpr const char* kDocsPage = "http://example.test/Docs/api/Report.pdf";

TEST(FilterEvaluateTest, PositiveStringCriteria)
{
    RunCases({
        {"suffix with dot", [](CFilterSet& f) { AddItems(f.suffixIs, {".css"}); }, {.url = kStyle}, true},
        {"suffix without dot", [](CFilterSet& f) { AddItems(f.suffixIs, {"css"}); }, {.url = kStyle}, true},
        {"suffix case counts", [](CFilterSet& f) { AddItems(f.suffixIs, {".css"}); },
         {.url = "http://example.test/style.CSS"}, false},
        {"suffix other", [](CFilterSet& f) { AddItems(f.suffixIs, {"css"}); }, {.url = "http://example.test/page.html"}, false},
        {"suffix is not a tail", [](CFilterSet& f) { AddItems(f.suffixIs, {"ss"}); }, {.url = kStyle}, false},
        {"second suffix item", [](CFilterSet& f) { AddItems(f.suffixIs, {".js", ".css"}); }, {.url = kStyle}, true},
        {"mime ignores case", [](CFilterSet& f) { AddItems(f.mimeContains, {"html"}); },
         {.contentType = "TEXT/HTML; charset=utf-8"}, true},
        {"mime other", [](CFilterSet& f) { AddItems(f.mimeContains, {"html"}); }, {.contentType = "image/png"}, false},
        {"name contains", [](CFilterSet& f) { AddItems(f.filenameContains, {"PORT"}); }, {.url = kDocsPage}, true},
        {"name lacks", [](CFilterSet& f) { AddItems(f.filenameContains, {"summary"}); }, {.url = kDocsPage}, false},
        {"name begins", [](CFilterSet& f) { AddItems(f.filenameBeginsWith, {"rep"}); }, {.url = kDocsPage}, true},
        {"name begins not", [](CFilterSet& f) { AddItems(f.filenameBeginsWith, {"port"}); }, {.url = kDocsPage}, false},
        {"name ends", [](CFilterSet& f) { AddItems(f.filenameEndsWith, {".pdf"}); }, {.url = kDocsPage}, true},
        {"name ends not", [](CFilterSet& f) { AddItems(f.filenameEndsWith, {".pdf"}); },
         {.url = "http://example.test/report.doc"}, false},
        {"ends item longer than name", [](CFilterSet& f) { AddItems(f.filenameEndsWith, {"long-report.pdf"}); },
         {.url = "http://example.test/a.pdf"}, false},
        {"path begins, slash", [](CFilterSet& f) { AddItems(f.pathBeginsWith, {"/docs"}); }, {.url = kDocsPage}, true},
        {"path begins, no slash", [](CFilterSet& f) { AddItems(f.pathBeginsWith, {"docs/API"}); }, {.url = kDocsPage}, true},
        {"path begins elsewhere", [](CFilterSet& f) { AddItems(f.pathBeginsWith, {"/api"}); }, {.url = kDocsPage}, false},
        {"path begins past the path", [](CFilterSet& f) { AddItems(f.pathBeginsWith, {"Docs/api/more"}); },
         {.url = kDocsPage}, false},
        {"path ends", [](CFilterSet& f) { AddItems(f.pathEndsWith, {"/API"}); }, {.url = kDocsPage}, true},
        {"path ends not", [](CFilterSet& f) { AddItems(f.pathEndsWith, {"docs"}); }, {.url = kDocsPage}, false},
        {"path contains", [](CFilterSet& f) { AddItems(f.pathContains, {"cs/Ap"}); }, {.url = kDocsPage}, true},
        {"top-level path", [](CFilterSet& f) { AddItems(f.pathEndsWith, {"/"}); },
         {.url = "http://example.test/index.html"}, true},
    });
}

TEST(FilterEvaluateTest, NegativeStringCriteriaRejectOnAMatch)
{
    RunCases({
        {"suffix", [](CFilterSet& f) { AddItems(f.suffixIsNot, {"pdf"}); }, {.url = kDocsPage}, false},
        {"suffix case", [](CFilterSet& f) { AddItems(f.suffixIsNot, {".PDF"}); }, {.url = kDocsPage}, true},
        {"mime", [](CFilterSet& f) { AddItems(f.mimeDoesNotContain, {"IMAGE"}); }, {.contentType = "image/png"}, false},
        {"mime other", [](CFilterSet& f) { AddItems(f.mimeDoesNotContain, {"image"}); }, {}, true},
        {"name contains", [](CFilterSet& f) { AddItems(f.filenameDoesNotContain, {"epo"}); }, {.url = kDocsPage}, false},
        {"name begins", [](CFilterSet& f) { AddItems(f.filenameDoesNotBeginWith, {"REP"}); }, {.url = kDocsPage}, false},
        {"name ends", [](CFilterSet& f) { AddItems(f.filenameDoesNotEndWith, {".doc", "T.PDF"}); }, {.url = kDocsPage}, false},
        {"name ends no match", [](CFilterSet& f) { AddItems(f.filenameDoesNotEndWith, {".doc"}); }, {.url = kDocsPage}, true},
        {"path contains", [](CFilterSet& f) { AddItems(f.pathDoesNotContain, {"api"}); }, {.url = kDocsPage}, false},
        {"path begins", [](CFilterSet& f) { AddItems(f.pathDoesNotBeginWith, {"/DOCS"}); }, {.url = kDocsPage}, false},
        {"path ends", [](CFilterSet& f) { AddItems(f.pathDoesNotEndWith, {"docs/api"}); }, {.url = kDocsPage}, false},
        {"path ends no match", [](CFilterSet& f) { AddItems(f.pathDoesNotEndWith, {"docs"}); }, {.url = kDocsPage}, true},
    });
}

TEST(FilterEvaluateTest, EmptyItemsInContainsListsMatchEverything)
{
    RunCases({
        {"contains", [](CFilterSet& f) { AddItems(f.filenameContains, {""}); }, {.url = kDocsPage}, true},
        {"does not contain", [](CFilterSet& f) { AddItems(f.pathDoesNotContain, {""}); }, {.url = kDocsPage}, false},
        {"begins", [](CFilterSet& f) { AddItems(f.filenameBeginsWith, {""}); }, {.url = kDocsPage}, false},
        {"ends", [](CFilterSet& f) { AddItems(f.pathEndsWith, {""}); }, {.url = kDocsPage}, false},
        {"content", [](CFilterSet& f) { AddItems(f.contentQuery, {""}); }, {.body = "anything"}, false},
    });
}

TEST(FilterEvaluateTest, GroupsAreAnyOfAndNegativesWin)
{
    auto mixed = [](CFilterSet& f) {
        AddItems(f.suffixIs, {".html"});
        AddItems(f.filenameBeginsWith, {"report"});
        AddItems(f.pathDoesNotContain, {"private"});
    };
    RunCases({
        {"first positive", mixed, {.url = "http://example.test/a/page.html"}, true},
        {"second positive", mixed, {.url = "http://example.test/a/report.pdf"}, true},
        {"no positive", mixed, {.url = "http://example.test/a/page.pdf"}, false},
        {"negative beats positives", mixed, {.url = "http://example.test/private/report.html"}, false},
        {"negative alone", [](CFilterSet& f) { AddItems(f.suffixIsNot, {".zip"}); }, {.url = kDocsPage}, true},
        {"no criteria", [](CFilterSet&) {}, {.url = "http://example.test/x.bin", .contentType = ""}, true},
    });
}

TEST(FilterEvaluateTest, OtherTestsNeedOnlyOneToPass)
{
    auto contentOrSmall = [](CFilterSet& f) {
        AddItems(f.contentQuery, {"needle"});
        f.sizeLessThan = 5000;
    };
    std::string page(8000, 'x');
    page.replace(4000, 6, "NeEdLe");
    std::string image(8000, '\x89');
    image.replace(100, 6, "needle");
    RunCases({
        {"large text page with the query", contentOrSmall, {.contentLength = "8000", .body = page}, true},
        {"large image", contentOrSmall, {.contentType = "image/png", .contentLength = "8000", .body = image}, false},
        {"small image", contentOrSmall, {.contentType = "image/png", .contentLength = "4000", .body = image}, true},
        {"xhtml as application type", [](CFilterSet& f) { AddItems(f.contentQuery, {"needle"}); },
         {.contentType = "application/xhtml+xml", .body = page}, false},
        {"positive passes but no other does", [](CFilterSet& f) {
             AddItems(f.suffixIs, {".pdf"});
             f.sizeLessThan = 10;
         },
         {.url = kDocsPage, .contentLength = "11"}, false},
    });
}

TEST(FilterEvaluateTest, FileTypeTest)
{
    auto textOnly = [](CFilterSet& f) { f.fileTypes.Append(MakeFourCharCode("TEXT")); };
    RunCases({
        {"listed", textOnly, {.fileType = MakeFourCharCode("TEXT")}, true},
        {"not listed", textOnly, {.fileType = MakeFourCharCode("JPEG")}, false},
        {"unknown type", textOnly, {.fileType = MakeFourCharCode("????")}, true},
        {"no type", textOnly, {.fileType = 0}, true},
        {"codes compare exactly", textOnly, {.fileType = MakeFourCharCode("text")}, false},
    });
}

TEST(FilterEvaluateTest, SizeLimitsAreInclusiveAnd64Bit)
{
    auto atMost = [](std::int32_t limit) { return [limit](CFilterSet& f) { f.sizeLessThan = limit; }; };
    auto atLeast = [](std::int32_t limit) { return [limit](CFilterSet& f) { f.sizeGreaterThan = limit; }; };
    RunCases({
        {"at most, equal", atMost(1000), {.contentLength = "1000"}, true},
        {"at most, over", atMost(1000), {.contentLength = "1001"}, false},
        {"at least, equal", atLeast(1000), {.contentLength = "1000"}, true},
        {"at least, under", atLeast(1000), {.contentLength = "999"}, false},
        {"no length reads as 0", atLeast(100), {.contentLength = ""}, false},
        {"no length passes at most", atMost(100), {.contentLength = ""}, true},
        {"3 GB is not small", atMost(2000000000), {.contentLength = "3000000000"}, false},
        {"3 GB is large", atLeast(2000000000), {.contentLength = "3000000000"}, true},
        {"past 64 bits", atMost(2000000000), {.contentLength = "99999999999999999999999"}, false},
        {"blanks before digits", atMost(10), {.contentLength = "  7"}, true},
        {"both limits", [](CFilterSet& f) {
             f.sizeGreaterThan = 10;
             f.sizeLessThan = 20;
         },
         {.contentLength = "15"}, true},
        {"both limits, over", [](CFilterSet& f) {
             f.sizeGreaterThan = 10;
             f.sizeLessThan = 20;
         },
         {.contentLength = "21"}, false},
    });
}

TEST(FilterEvaluateTest, DateLimitsAreInclusive)
{
    // 2005-12-31 10:00:00 UTC
    constexpr std::int64_t kTen = 1136023200;
    auto between = [](const char* after, const char* before) {
        return [after, before](CFilterSet& f) {
            f.afterDate = after;
            f.beforeDate = before;
        };
    };
    RunCases({
        {"after, equal", between("31 Dec 2005 10:00:00", ""), {.modified = kTen}, true},
        {"after, earlier", between("31 Dec 2005 10:00:01", ""), {.modified = kTen}, false},
        {"before, equal", between("", "2005-12-31 10:00:00"), {.modified = kTen}, true},
        {"before, later", between("", "2005-12-31 09:59"), {.modified = kTen}, false},
        {"inside", between("2005-12-31", "Sun, 01 Jan 2006 00:00:00 GMT"), {.modified = kTen}, true},
        {"outside", between("2006-01-01", "2006-02-01"), {.modified = kTen}, false},
        {"unreadable dates set no limit", between("next tuesday", "soon"), {.modified = kTen}, true},
    });
}

TEST(FilterEvaluateTest, CopiesAreCompiledAndEqual)
{
    CFilterSet original;
    AddItems(original.suffixIs, {".css"});
    original.sizeLessThan = 10;
    original.Compile();
    CFilterSet copy(original);
    CFilterSet assigned;
    assigned = original;
    const CFilterSet& self = assigned;  // an alias, so the compiler lets the self-assignment through
    assigned = self;
    auto style = MakeURL({.url = kStyle, .contentLength = "5"});
    auto page = MakeURL({.url = "http://example.test/page.html", .contentLength = "5"});
    for (const CFilterSet* set : {&copy, &assigned}) {
        EXPECT_TRUE(set->IsEqual(original));
        EXPECT_TRUE(set->Evaluate(*style));
        EXPECT_FALSE(set->Evaluate(*page));
    }

    CFilterSet reordered(original);
    reordered.suffixIs.Append(CFixedString255(".js"));
    EXPECT_FALSE(reordered.IsEqual(original));
    CFilterSet typed, typedOtherOrder;
    typed.fileTypes.Append(1);
    typed.fileTypes.Append(2);
    typedOtherOrder.fileTypes.Append(2);
    typedOtherOrder.fileTypes.Append(1);
    EXPECT_FALSE(typed.IsEqual(typedOtherOrder));
}

TEST(FilterEvaluateTest, ContentLengthAndPathHelpers)
{
    EXPECT_EQ(ContentLengthOf("3000000000"), 3000000000LL);
    EXPECT_EQ(ContentLengthOf(""), 0);
    EXPECT_EQ(ContentLengthOf("abc"), 0);
    EXPECT_EQ(ContentLengthOf("-5"), 0);
    EXPECT_EQ(FilterPathOf(*MakeURL({.url = kDocsPage})), "/Docs/api");
    EXPECT_EQ(FilterPathOf(*MakeURL({.url = "http://example.test"})), "/");
}

}  // namespace
