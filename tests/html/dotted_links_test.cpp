#include "engine/html/dotted_links.h"

#include <gtest/gtest.h>

#include "recording_page_context.h"

namespace {

std::vector<std::string> Dotted(std::string_view text)
{
    std::vector<std::string_view> links;
    CollectDottedLinks(text, links, nullptr, false);
    return {links.begin(), links.end()};
}

using Links = std::vector<std::string>;

TEST(DottedLinks, JudgesExtensions)
{
    const struct {
        const char* text;
        bool plausible;
    } cases[] = {
        {"", true},      {"html", true}, {"HTML", true}, {"tar", true},  {"gif", true},  {"a1", true},
        {"2", false},    {"12", false},  {"x-y", false}, {"abcde", false}, {"jpeg", true}, {"a b", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsPlausibleExtension(c.text), c.plausible) << c.text;
}

TEST(DottedLinks, FindsLinksBetweenStopChars)
{
    const struct {
        const char* text;
        Links links;
    } cases[] = {
        {"<img src=\"images/a.gif\">", {"images/a.gif"}},
        {"x('scripts/menu.js')", {"scripts/menu.js"}},
        {"<a href=\"http://www.example.com/x.html\">", {"http://www.example.com/x.html"}},
        {"<a href=\"photo.large.jpg\">", {"photo.large.jpg"}},
        {"\"archive.tar\"", {"archive.tar"}},
        // One char after the dot and no letter: a number, not a link.
        {"\"x1.2\"", {}},
        // A dot among the first two chars gives nothing.
        {"a.gif\"", {}},
        // No stop char after the dot: dropped.
        {"\"see a.gif", {}},
        // Blanks are not stop chars, and a link holds none.
        {"\"see a.gif\"", {}},
        {"\"#top.html\"", {}},
        {"\"mailto:ann@example.com\"", {}},
        // The text's first char is never taken, nor does it stop a link.
        {"xa.gif\"", {"a.gif"}},
        {" ab.gif\"", {"ab.gif"}},
        {"\"a.verylongext\"", {}},
        {"\"a.\"", {}},
        // A guess names a known type of file; words of code do not.
        {"print(str(self.msg)) if (event.key) (notes.TXT)", {"notes.TXT"}},
        {"\"www.example.com\" 'Math.max'", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(Dotted(c.text), c.links) << c.text;
}

// A guess is a request nobody linked: in a page only markup, scripts and
// styles are read, and a server-side script's name is never guessed.
TEST(DottedLinks, GuessesInAPageComeFromMarkupAndScriptsAndNeverNameAScript)
{
    const struct {
        const char* page;
        Links links;
    } cases[] = {
        {"<script>load(\"searchindex.js\")</script>", {"searchindex.js"}},
        {"<style>x { y: \"img/a.png\" }</style>", {"img/a.png"}},
        {"<div data-src=\"big/photo.jpg\"></div>", {"big/photo.jpg"}},
        // Words of the visible text.
        {"<p>See (notes.txt) and (guide.pdf)</p>", {}},
        {"<p>see \"archive.tar\"</p>", {}},
        // Names of server-side scripts, wherever they stand.
        {"<script>go('logout.php'); go('admin/reset-all.cgi'); go('/cgi-bin/login.cgi')</script>", {}},
        {"<div data-x=\"list.ASPX\" data-y=\"doc.jsp\" data-z=\"report.pl\"></div>", {}},
        // The action of a form sent with POST, in any spelling.
        {"<form method=\"post\" action=\"send.html\"></form>", {}},
        {"<FORM ACTION='send.html' METHOD = POST></FORM>", {}},
        {"<form method=\"get\" action=\"find.html\"></form>", {"find.html"}},
        // A comment is nobody's link.
        {"<!-- <img src=\"old.gif\"> --><img src=\"new.gif\">", {"new.gif"}},
        // Names and texts for people, and what an anchor holds beside its
        // href and its handlers.
        {"<img alt=\"Underscore.js\" title='x.html' src=\"u.png\"><p id=\"a.html\" class = \"b.css\"></p>", {"u.png"}},
        {"<a name=\"opt.xml\" data-link=\"callback.Ready.html\" href=\"real.html\">x</a>", {"real.html"}},
        {"<A onClick=\"open('popup.html')\" aria-label=\"help.html\">p</A>", {"popup.html"}},
        {"<area data-link=\"map.html\"><script>a.title = \"t.js\"</script>", {"map.html", "t.js"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string_view> links;
        CollectDottedLinks(c.page, links, nullptr, false, true);
        EXPECT_EQ(Links(links.begin(), links.end()), c.links) << c.page;
    }
}

TEST(DottedLinks, HarvestsMailAddressesWithTheirAnchorText)
{
    CRecordingPageContext context;
    std::vector<std::string_view> links;
    CollectDottedLinks("<p><a href=\"mailto:ann@example.com\">Ann</a> <a class=x href=\"mailto:bob@example.org?subject=Hi\" "
                       "title=y>Bob <b>B.</b></a> \"mailto:carl@example.net\" <i>no anchor</i>",
                       links, &context, true);
    EXPECT_TRUE(links.empty());
    ASSERT_EQ(context.mEmails.size(), 2u);
    EXPECT_EQ(context.mEmails.at("ann@example.com"), "Ann");
    // The dot after "example" is followed by a '?' part: no plausible extension, no link.
    EXPECT_EQ(context.mEmails.count("bob@example.org?subject=Hi"), 0u);
    EXPECT_EQ(context.mEmails.at("carl@example.net"), "");

    CRecordingPageContext quiet;
    CollectDottedLinks("<a href=\"mailto:ann@example.com\">Ann</a>", links, &quiet, false);
    EXPECT_TRUE(quiet.mEmails.empty());
}

TEST(DottedLinks, CutsLongAnchorTextsWithoutSplittingACharacter)
{
    CRecordingPageContext context;
    std::string anchor;
    for (int i = 0; i < 200; ++i) anchor += "\xC3\xA9";  // 400 bytes of two-byte chars
    std::vector<std::string_view> links;
    CollectDottedLinks("<a href=\"mailto:a@b.com\">" + anchor + "</a>", links, &context, true);
    EXPECT_EQ(context.mEmails.at("a@b.com"), anchor.substr(0, 254));
}

TEST(DottedLinks, YieldsEveryFiftyDots)
{
    CRecordingPageContext context;
    std::vector<std::string_view> links;
    std::string text;
    for (int i = 0; i < 120; ++i) text += "a.\"";
    CollectDottedLinks(text, links, &context, false);
    EXPECT_EQ(context.mYields, 2);
}

}  // namespace
