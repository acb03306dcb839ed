#include "engine/html/link_rewriter.h"
#include "engine/html/style_links.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>

namespace {

using Map = std::map<std::string, std::string, std::less<>>;

std::string Rewrite(std::string_view page, const Map& map, std::size_t* replaced = nullptr)
{
    std::string out;
    CRewriteResult result = RewriteLinks(page, [&map](const CLinkOccurrence& occurrence, std::string& replacement) {
        auto found = map.find(occurrence.link);
        if (found == map.end()) return ERewrite::kKeep;
        replacement = found->second;
        return ERewrite::kReplace;
    }, out);
    if (replaced) *replaced = result.replaced;
    return out;
}

std::vector<std::string> Offers(std::string_view page)
{
    std::vector<std::string> offers;
    std::string out;
    RewriteLinks(page, [&offers](const CLinkOccurrence& occurrence, std::string&) {
        std::string offer(1, static_cast<char>(occurrence.delimiter));
        offer.append(occurrence.link);
        offers.push_back(std::move(offer));
        return ERewrite::kKeep;
    }, out);
    EXPECT_EQ(out, page);
    return offers;
}

TEST(LinkRewriter, RewritesEachDelimitedShape)
{
    const Map map = {{"a.html", "L/a.html"}, {"/img/x.gif", "../img/x.gif"}, {"bg.png", "../bg.png"},
                     {"menu.js", "m.js"},   {"b.html", "L/b.html"}};
    const struct {
        const char* page;
        const char* expected;
    } cases[] = {
        {"<a href=\"a.html\">a.html</a>", "<a href=\"L/a.html\">a.html</a>"},
        {"<a href='a.html'>", "<a href='L/a.html'>"},
        {"<img SRC=/img/x.gif alt=x>", "<img SRC=../img/x.gif alt=x>"},
        {"<td background=bg.png>", "<td background=../bg.png>"},
        {"<div style=\"background:url(bg.png)\">", "<div style=\"background:url(../bg.png)\">"},
        {"<style>p{background:url('bg.png')}</style>", "<style>p{background:url('../bg.png')}</style>"},
        {"<script>load(\"menu.js\");go('b.html')</script>", "<script>load(\"m.js\");go('L/b.html')</script>"},
        // Names that only end like a link attribute are none; blanks around '=' change nothing.
        {"<img data-src=/img/x.gif src = /img/x.gif>", "<img data-src=/img/x.gif src = ../img/x.gif>"},
        {"<a href = \"a.html\">", "<a href = \"L/a.html\">"},
        {"<a\nhref=\n'a.html'>", "<a\nhref=\n'L/a.html'>"},
        // Each picture of a srcset is a link; descriptors and other pictures stay.
        {"<img srcset =/img/x.gif>", "<img srcset =../img/x.gif>"},
        {"<img srcset=\"/img/x.gif 1x,bg.png 2x, other.png 3x\">",
         "<img srcset=\"../img/x.gif 1x,../bg.png 2x, other.png 3x\">"},
        {"<img srcset='bg.png 1x,/img/x.gif, a.html,b.html 2x'>", "<img srcset='../bg.png 1x,../img/x.gif, a.html,b.html 2x'>"},
        // Near misses stay: other case, a longer text, an unclosed quote.
        {"<a href=\"A.html\"><a href=\"a.html#x\"><a href=\"a.html", "<a href=\"A.html\"><a href=\"a.html#x\"><a href=\"a.html"},
    };
    for (const auto& c : cases) EXPECT_EQ(Rewrite(c.page, map), c.expected) << c.page;
}

TEST(LinkRewriter, OffersOnlyPlacesThatCanHoldALink)
{
    using Offered = std::vector<std::string>;
    EXPECT_EQ(Offers("<a href=\"x\">"), (Offered{"\"x"}));
    // The text between two tags is no link: it holds angle brackets.
    EXPECT_EQ(Offers("<a title=\"t\">don't</a><b class='c'>"), (Offered{"\"t", "'c"}));
    // Only the innermost parenthesis is a candidate.
    EXPECT_EQ(Offers("f((x.png)"), (Offered{"(x.png"}));
    EXPECT_EQ(Offers("url(\"x.png\")"), (Offered{"(\"x.png\"", "\"x.png"}));
    EXPECT_EQ(Offers("() src=\"\" '' href= >"), Offered{});
    EXPECT_EQ(Offers("<img src=a.gif>"), (Offered{"=a.gif"}));
    // Blanks may stand around '='; a srcset offers each picture, not its value.
    EXPECT_EQ(Offers("<img src =\n a.gif>"), (Offered{"=a.gif"}));
    EXPECT_EQ(Offers("<img srcset=\"a.jpg 1x, b.jpg 2x\">"), (Offered{",a.jpg", ",b.jpg"}));
}

TEST(LinkRewriter, RewritesEveryOccurrenceOnceAndNeverReadsItsOwnOutput)
{
    // The replacement itself looks like a link in quotes: it must not be offered again.
    const Map map = {{"x.html", "\"x.html\""}};
    std::size_t replaced = 0;
    EXPECT_EQ(Rewrite("\"x.html\"x.html\"", map, &replaced), "\"\"x.html\"\"x.html\"");
    EXPECT_EQ(replaced, 1u);

    std::string page = "<a href=\"p.html\">1</a><a href=\"p.html\">2</a><img src=p.html><b>(p.html)</b>";
    std::size_t count = 0;
    EXPECT_EQ(Rewrite(page, {{"p.html", "q.html"}}, &count),
              "<a href=\"q.html\">1</a><a href=\"q.html\">2</a><img src=q.html><b>(q.html)</b>");
    EXPECT_EQ(count, 4u);
}

TEST(LinkRewriter, LeavesEveryOtherByteAsItWas)
{
    // Random markup rewritten with an identity map equals itself, and a
    // rewrite to longer names changes only the links.
    std::mt19937 random(42);
    const char* pieces[] = {"<a href=\"", "\">", "x.html", "'", "(", ")", " src=", ">", "é", "\n", "\"", "y.gif", "=", "<"};
    std::uniform_int_distribution<int> pick(0, std::size(pieces) - 1);
    for (int round = 0; round < 500; ++round) {
        std::string page;
        for (int i = 0; i < 60; ++i) page += pieces[pick(random)];
        EXPECT_EQ(Rewrite(page, {{"x.html", "x.html"}, {"y.gif", "y.gif"}}), page);
        std::string longer = Rewrite(page, {{"x.html", "LONG/x.html"}, {"y.gif", "LONG/y.gif"}});
        std::string back = longer;
        for (std::size_t at = back.find("LONG/"); at != std::string::npos; at = back.find("LONG/", at))
            back.erase(at, 5);
        EXPECT_EQ(back, page);
    }
}

TEST(LinkRewriter, StopKeepsTheRestOfThePage)
{
    std::string out;
    int offers = 0;
    CRewriteResult result = RewriteLinks("\"a\" \"b\" \"c\"", [&offers](const CLinkOccurrence&, std::string& replacement) {
        if (++offers == 3) return ERewrite::kStop;
        replacement.assign(1, 'Z');
        return ERewrite::kReplace;
    }, out);
    EXPECT_TRUE(result.stopped);
    EXPECT_EQ(result.replaced, 2u);
    EXPECT_EQ(out, "\"Z\" \"Z\" \"c\"");
}

TEST(LinkRewriter, ReportsWhereEachLinkStands)
{
    std::string page = "<a href=\"one.html\"><img src=two.gif>";
    std::set<std::size_t> offsets;
    std::string out;
    RewriteLinks(page, [&](const CLinkOccurrence& occurrence, std::string&) {
        EXPECT_EQ(page.substr(occurrence.offset, occurrence.link.size()), occurrence.link);
        offsets.insert(occurrence.offset);
        return ERewrite::kKeep;
    }, out);
    EXPECT_EQ(offsets, (std::set<std::size_t>{9, 28}));
}

}  // namespace

namespace {

// Which offers of a page are links of its markup, and which links a style
// sheet holds.
TEST(LinkRewriter, TellsMarkupLinksFromTextThatLooksLikeOne)
{
    const std::string page =
        "<a href=\"a.html\"> <img SRC = 'b.png'> <td background=c.gif> <p title=\"d.html\">"
        "<script>go(\"e.html\"); f(g.html)</script> <div style=\"background:url( h.png )\">"
        "<style>@import \"i.css\"; x{src:url('j.woff?v=1')} y{u:url(k.png)}</style> str(self.msg)";
    std::vector<std::string> markup, text;
    std::string out;
    RewriteLinks(page, [&](const CLinkOccurrence& occurrence, std::string&) {
        (IsMarkupLink(page, occurrence) ? markup : text).emplace_back(occurrence.link);
        return ERewrite::kKeep;
    }, out);
    EXPECT_EQ(markup, (std::vector<std::string>{"a.html", "b.png", "c.gif", " h.png ", "i.css", "j.woff?v=1", "k.png"}));
    EXPECT_EQ(std::count(text.begin(), text.end(), "d.html"), 1);
    EXPECT_EQ(std::count(text.begin(), text.end(), "e.html"), 1);
    EXPECT_EQ(std::count(text.begin(), text.end(), "g.html"), 1);
    EXPECT_EQ(std::count(text.begin(), text.end(), "self.msg"), 1);
    EXPECT_EQ(std::count(text.begin(), text.end(), "'j.woff?v=1'"), 1);

    std::vector<std::string_view> links;
    CollectStyleLinks("a{b:URL(x.png)} @import 'y.css'; @import url(\"z.css\"); c{d:url(e f)} url(r'^a/', v)"
                      " g{h:url( \"i.woff2?v=2#f\" )} URL.createObjectURL(blob) f.toDataURL(\"j.png\")",
                      links);
    EXPECT_EQ(std::vector<std::string>(links.begin(), links.end()),
              (std::vector<std::string>{"x.png", "z.css", "i.woff2?v=2#f", "y.css"}));
}

}  // namespace
