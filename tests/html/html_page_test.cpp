#include "engine/html/html_page.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <vector>

#include "engine/url/url_record.h"
#include "recording_page_context.h"

namespace {

constexpr const char* kPageURL = "http://example.com/docs/guide/index.html";

// A page with every usual shape of link, one per line.
constexpr const char* kRealisticPage = R"PAGE(<html><head><title>Guide &amp; Tips</title>
<link rel="stylesheet" href="../css/site.css">
<script src="/js/app.js"></script>
<link rel="icon" href="//cdn.example.net/favicon.ico">
</head>
<body background="img/bg.png">
<a href="intro.html">Intro</a>
<a href="../faq/">FAQ</a>
<a href="/about.html#team">About</a>
<a href="https://other.org/page.html">Other</a>
<a href="?page=2">Next</a>
<a href="list.php?a=1&amp;b=2">List</a>
<a href="#top">Top</a>
<a href="mailto:ann@example.com">Ann</a>
<a href="javascript:void(0)">JS</a>
<a href=plain.html class=x>Plain</a>
<A HREF='../../up.html'>Up</A>
<img src="images/photo.jpg" alt="p">
<img src=/images/logo.gif>
<img src="dir/">
<div style="background:url(img/tile.gif)"></div>
<a href="data:text/plain,hi">data</a> <a href="tel:+123">tel</a> <a href="file:///etc/passwd">f</a>
</body></html>)PAGE";

CURL Fetched(const std::string& url, std::string_view body, const std::string& contentType = "text/html")
{
    CURL fetched(url);
    EXPECT_TRUE(fetched.mBody.AppendBytes(body.data(), body.size()));
    fetched.mContentType = contentType;
    return fetched;
}

std::string BodyOf(const CURL& url)
{
    std::string body;
    EXPECT_TRUE(url.mBody.CopyTo(body));
    return body;
}

std::set<std::string> URLs(const CHTMLPage& page)
{
    std::set<std::string> urls;
    for (const CLinkRecord& record : page.LinkRecords()) urls.insert(record.mURL);
    return urls;
}

class HTMLPage : public ::testing::Test {
protected:
    CRecordingPageContext mContext;
};

TEST_F(HTMLPage, ExtractsEveryUsualShapeOfLink)
{
    mContext.mConfiguration.mMiscOptions.extractEmailAddresses = 1;
    CURL fetched = Fetched(kPageURL, kRealisticPage);
    CHTMLPage page(mContext.mConfiguration.mDelimiters, fetched, false, &mContext);

    EXPECT_EQ(URLs(page), (std::set<std::string>{
                              "http://example.com/docs/css/site.css",
                              "http://example.com/js/app.js",
                              "http://cdn.example.net/favicon.ico",
                              "http://example.com/docs/guide/img/bg.png",
                              "http://example.com/docs/guide/intro.html",
                              "http://example.com/docs/faq/",
                              "http://example.com/about.html",
                              "https://other.org/page.html",
                              "http://example.com/docs/guide/index.html?page=2",
                              "http://example.com/docs/guide/list.php?a=1&b=2",
                              "http://example.com/docs/guide/plain.html",
                              "http://example.com/up.html",
                              "http://example.com/docs/guide/images/photo.jpg",
                              "http://example.com/images/logo.gif",
                              "http://example.com/docs/guide/dir/",
                              "http://example.com/docs/guide/img/tile.gif",
                          }));
    for (const CLinkRecord& record : page.LinkRecords()) EXPECT_TRUE(record.mTitle.empty() && record.mLocal.empty());
    // Links keep the text of the page; found twice, they are recorded twice
    // but listed once among the raw links.
    const auto& records = page.LinkRecords();
    auto named = [&](const char* link) {
        return std::count_if(records.begin(), records.end(), [&](const CLinkRecord& r) { return r.mLink == link; });
    };
    EXPECT_EQ(named("list.php?a=1&amp;b=2"), 1);
    EXPECT_EQ(named("intro.html"), 1);
    EXPECT_EQ(std::count(page.RawLinks().begin(), page.RawLinks().end(), "intro.html"), 1);
    ASSERT_NE(page.FindLinkURL("list.php?a=1&amp;b=2"), nullptr);
    EXPECT_EQ(*page.FindLinkURL("list.php?a=1&amp;b=2"), "http://example.com/docs/guide/list.php?a=1&b=2");
    EXPECT_EQ(page.FindLinkURL("javascript:void(0)"), nullptr);

    EXPECT_EQ(mContext.mEmails, (std::map<std::string, std::string>{{"ann@example.com", "Ann"}}));
    EXPECT_EQ(fetched.mTitle, "Guide &amp; Tips");
    EXPECT_EQ(BodyOf(fetched), kRealisticPage);  // nothing to stamp, no base: the body stays
}

// Blanks or line breaks around '=' and the pictures of a srcset: links of
// the markup like any other, never mere guesses.
TEST_F(HTMLPage, AttributeLinksInEveryShapeAreLinks)
{
    const struct {
        const char* body;
        std::vector<std::string> links;
    } cases[] = {
        {"<a href = \"x.html\">x</a>", {"x.html"}},
        {"<a href=\n\"y.html\">y</a>", {"y.html"}},
        {"<a\nhref\n=\n'z.html'>z</a>", {"z.html"}},
        {"<img src = pic.gif alt=p>", {"pic.gif"}},
        {"<td background =bg>", {"bg"}},
        {"<img src=\"s.jpg\" srcset=\"s.jpg 1x, s@2x.jpg 2x\">", {"s.jpg", "s@2x.jpg"}},
        {"<img srcset='a.png 320w,b.png 640w,\n c.png 1280w'>", {"a.png", "b.png", "c.png"}},
        {"<source SRCSET = wide.webp>", {"wide.webp"}},
        {"<img data-srcset=\"z.jpg 2x\" srcset=\"\">", {}},
    };
    for (const auto& c : cases) {
        CURL fetched = Fetched("http://h/p.html", c.body);
        CHTMLPage page(mContext.mConfiguration.mDelimiters, fetched, false, &mContext);
        std::vector<std::string> links;
        for (const CLinkRecord& record : page.LinkRecords()) {
            links.push_back(record.mLink);
            EXPECT_FALSE(record.mGuess) << c.body << ": " << record.mLink;
        }
        EXPECT_EQ(links, c.links) << c.body;
    }
}

TEST_F(HTMLPage, OnePageModeKeepsResourcesWithAFileName)
{
    CURL fetched = Fetched(kPageURL, kRealisticPage);
    CHTMLPage page(mContext.mConfiguration.mDelimiters, fetched, true, &mContext);
    EXPECT_EQ(URLs(page), (std::set<std::string>{
                              "http://example.com/docs/css/site.css",
                              "http://example.com/js/app.js",
                              "http://cdn.example.net/favicon.ico",
                              "http://example.com/docs/guide/img/bg.png",
                              "http://example.com/docs/guide/images/photo.jpg",
                              "http://example.com/images/logo.gif",
                              "http://example.com/docs/guide/img/tile.gif",
                          }));
}

TEST_F(HTMLPage, IgnoresDynamicURLsWhenAsked)
{
    mContext.mConfiguration.mGeneralOptions.ignoreDynamicURLs = 1;
    CURL fetched = Fetched(kPageURL, kRealisticPage);
    CHTMLPage page(mContext.mConfiguration.mDelimiters, fetched, false, &mContext);
    for (const std::string& url : URLs(page)) EXPECT_EQ(url.find('?'), std::string::npos) << url;
    EXPECT_EQ(URLs(page).size(), 14u);
}

TEST_F(HTMLPage, HarvestsMailOnlyWhenAsked)
{
    CURL fetched = Fetched(kPageURL, kRealisticPage);
    CHTMLPage page(mContext.mConfiguration.mDelimiters, fetched, false, &mContext);
    EXPECT_TRUE(mContext.mEmails.empty());
    for (const CLinkRecord& record : page.LinkRecords()) EXPECT_EQ(record.mLink.find("mailto"), std::string::npos);
}

TEST_F(HTMLPage, RewritesThePageForItsBaseElement)
{
    const char* body = "<html><head><base href=\"http://b/d/\"></head><body>"
                       "<a href=\"p.html#s\">P</a><img src='i/q.gif'><a href=\"http://abs/z.html\">Z</a>"
                       "<a href=\"#top\">T</a><a href=\"mailto:x@y.com\">M</a>(see p.html)</body></html>";
    CURL fetched = Fetched("http://h/x/page.html", body);
    CHTMLPage page(mContext.mConfiguration.mDelimiters, fetched, false, &mContext);
    EXPECT_EQ(BodyOf(fetched), "<html><head><bc href=\"\"></head><body>"
                               "<a href=\"http://b/d/p.html#s\">P</a><img src='http://b/d/i/q.gif'>"
                               "<a href=\"http://abs/z.html\">Z</a><a href=\"#top\">T</a>"
                               "<a href=\"mailto:x@y.com\">M</a>(see p.html)</body></html>");
    EXPECT_EQ(page.BaseURL(), "http://b/d/");
    EXPECT_EQ(URLs(page), (std::set<std::string>{"http://b/d/p.html", "http://b/d/i/q.gif", "http://abs/z.html"}));
}

TEST_F(HTMLPage, MediaGrabsResolveAgainstTheBaseButKeepThePage)
{
    mContext.mMediaMode = true;
    const char* body = "<head lang=en><BASE HREF=../other/></head><img src=\"q.gif\">";
    CURL fetched = Fetched("http://h/x/page.html", body);
    CHTMLPage page(mContext.mConfiguration.mDelimiters, fetched, false, &mContext);
    EXPECT_EQ(BodyOf(fetched), body);
    EXPECT_EQ(URLs(page), (std::set<std::string>{"http://h/other/q.gif"}));
}

TEST_F(HTMLPage, StampsTheServersContentTypeIntoTheHead)
{
    mContext.mConfiguration.mGeneralOptions.useServerContentType = 1;
    const struct {
        const char* body;
        const char* type;
        const char* expected;
    } cases[] = {
        {"<HTML><HEAD><TITLE>t</TITLE></HEAD><body></body>", "text/html; charset=utf-8",
         "<HTML><HEAD><TITLE>t</TITLE>\r<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\r"
         "</HEAD><body></body>"},
        // An existing tag is replaced, not doubled.
        {"<head><META HTTP-EQUIV=\"content-type\" CONTENT=\"text/html; charset=latin1\"></head>", "text/html",
         "<head><meta http-equiv=\"Content-Type\" content=\"text/html\"></head>"},
        {"<body>no head</body>", "text/html", "<body>no head</body>"},
        {"<head></head>", "", "<head></head>"},
        {"<head></head>", "text/html; charset=\"x\"",
         "<head>\r<meta http-equiv=\"Content-Type\" content=\"text/html; charset=&quot;x&quot;\">\r</head>"},
    };
    for (const auto& c : cases) {
        CURL fetched = Fetched("http://h/p.html", c.body, c.type);
        CHTMLPage page(mContext.mConfiguration.mDelimiters, fetched, false, &mContext);
        EXPECT_EQ(BodyOf(fetched), c.expected) << c.body;
    }
}

// A body whose spill file cannot be read back is no empty page: the page
// says so and leaves the fetched record as it came.
TEST_F(HTMLPage, SaysWhenItsBodyCannotBeReadBack)
{
    mContext.mConfiguration.mGeneralOptions.useServerContentType = 1;
    const std::string body = "<head><title>T</title></head><a href=\"next.html\">next</a>";
    const struct {
        std::size_t spillSize;
        bool cut;  // the spill file cut short before the page reads it
    } cases[] = {{1024, false}, {8, false}, {8, true}};
    for (const auto& c : cases) {
        CURL fetched("http://h/p.html");
        fetched.mContentType = "text/html";
        fetched.mBody = CLDynamicBuffer(c.spillSize);
        ASSERT_TRUE(fetched.mBody.AppendBytes(body.data(), body.size()));
        CFileRef spill;
        ASSERT_EQ(fetched.mBody.GetSpillFileRef(spill), c.spillSize < body.size() ? 1 : 0);
        if (c.cut) {
            ASSERT_EQ(::truncate(spill.Path().c_str(), 4), 0);
        }
        CHTMLPage page(mContext.mConfiguration.mDelimiters, fetched, false, &mContext);
        EXPECT_EQ(page.BodyWasRead(), !c.cut) << c.spillSize;
        EXPECT_EQ(URLs(page), c.cut ? std::set<std::string>{} : std::set<std::string>{"http://h/next.html"});
        EXPECT_EQ(fetched.mTitle, c.cut ? "" : "T");
        // The server's type is stamped into a page that was read, never into one that was not.
        EXPECT_EQ(fetched.mBody.Length() > body.size(), !c.cut) << c.spillSize;
    }
}

TEST_F(HTMLPage, TakesTheTitleOrTheFileName)
{
    CURL titled = Fetched("http://h/a/p.html", "<TITLE>My\n\tpage</title>");
    CHTMLPage first(mContext.mConfiguration.mDelimiters, titled, false, &mContext);
    EXPECT_EQ(titled.mTitle, "My page");
    CURL untitled = Fetched("http://h/a/p.html", "<title></title>");
    CHTMLPage second(mContext.mConfiguration.mDelimiters, untitled, false, &mContext);
    EXPECT_EQ(untitled.mTitle, "p.html");
}

TEST_F(HTMLPage, ReportsProgressAndHonoursTheStopFlag)
{
    std::string body;
    for (int i = 0; i < 120; ++i) body += "<a href=\"p" + std::to_string(i) + ".html\">x</a>\n";
    CURL fetched = Fetched("http://h/index.html", body);
    {
        CHTMLPage page(mContext.mConfiguration.mDelimiters, fetched, false, &mContext);
        EXPECT_EQ(page.LinkRecords().size(), 120u);
    }
    const std::vector<std::string> expected = {
        "Collecting URLs (0 of 120)", "Collecting URLs (50 of 120)", "Collecting URLs (100 of 120)",
        "Extracting URLs (0)",        "Extracting URLs (50)",        "Extracting URLs (100)",
    };
    EXPECT_EQ(mContext.mStatuses, expected);
    EXPECT_GE(mContext.mYields, 6);

    CRecordingPageContext stopping;
    stopping.mStopAfterYields = 1;
    CHTMLPage page(stopping.mConfiguration.mDelimiters, fetched, false, &stopping);
    EXPECT_LE(page.LinkRecords().size(), 1u);
}

TEST_F(HTMLPage, WorksWithoutACrawl)
{
    CURL fetched = Fetched(kPageURL, kRealisticPage);
    CConfiguration configuration;
    CHTMLPage page(configuration.mDelimiters, fetched, false, nullptr);
    EXPECT_EQ(URLs(page).size(), 16u);
}

TEST_F(HTMLPage, RecordsLinksAsTheRewriterWillFindThem)
{
    const struct {
        const char* attribute;
        const char* link;
        const char* url;
    } cases[] = {
        {"href=\"a b.html\"", "a%20b.html", "http://h/d/a%20b.html"},
        {"href=\"  x.html \"", "x.html", "http://h/d/x.html"},
        {"href=\"caf\xC3\xA9.html\"", "caf%c3%a9.html", "http://h/d/caf%c3%a9.html"},
        {"href=\"q.php?a=1&amp;b=&#50;\"", "q.php?a=1&amp;b=&#50;", "http://h/d/q.php?a=1&b=2"},
        {"href=\"../../../../x.html\"", "../../../../x.html", "http://h/x.html"},
        {"src=\"%2e%2e/%2e%2e/y.gif\"", "%2e%2e/%2e%2e/y.gif", "http://h/y.gif"},
        {"href=\"/out?u=http://evil/\"", "/out?u=http://evil/", "http://h/out?u=http://evil/"},
    };
    for (const auto& c : cases) {
        CURL fetched = Fetched("http://h/d/p.html", std::string("<a ") + c.attribute + ">x</a>");
        CHTMLPage page(mContext.mConfiguration.mDelimiters, fetched, false, &mContext);
        ASSERT_FALSE(page.LinkRecords().empty()) << c.attribute;
        EXPECT_EQ(page.LinkRecords().back().mLink, c.link) << c.attribute;
        EXPECT_EQ(page.LinkRecords().back().mURL, c.url) << c.attribute;
        // The rewriter offers the bytes between the quotes: they find the same URL.
        std::string attribute = c.attribute;
        std::size_t open = attribute.find('"');
        std::string raw = attribute.substr(open + 1, attribute.rfind('"') - open - 1);
        ASSERT_NE(page.FindLinkURL(raw), nullptr) << raw;
        EXPECT_EQ(*page.FindLinkURL(raw), c.url);
    }
}

TEST_F(HTMLPage, BlanksControlCharsAndCollapsesBlankRuns)
{
    std::mt19937 random(3);
    // Letters often enough for runs of eight bytes with single blanks.
    const char pieces[] = {'a', 'b', 'c', 'd', 'e', ' ', ' ', '\n', '\t', '\x7F', '\x01', '\xC3', '\xA9', '<', '.'};
    std::uniform_int_distribution<int> pick(0, sizeof pieces - 1);
    for (int round = 0; round < 300; ++round) {
        std::string body;
        for (int i = 0; i < round % 70 + 1; ++i) body += pieces[pick(random)];
        std::string expected;
        for (char ch : body) {
            auto c = static_cast<unsigned char>(ch);
            char tidy = (c < 0x20 || c == 0x7F) ? ' ' : ch;
            if (!(tidy == ' ' && !expected.empty() && expected.back() == ' ')) expected += tidy;
        }
        CURL fetched = Fetched("http://h/p.html", body);
        CHTMLPage page(mContext.mConfiguration.mDelimiters, fetched, false, &mContext);
        ASSERT_EQ(page.PageText(), expected);
    }
}

TEST_F(HTMLPage, UsesTheConfigurationsDelimiters)
{
    TPooledList<CDelimiter> delimiters;
    delimiters.Append(CDelimiter("option value=\"", "\"", 1));
    CURL fetched = Fetched("http://h/f.html", "<select><option value=\"a.html\">A<option value=\"b.html\">B</select>");
    CHTMLPage page(delimiters, fetched, false, &mContext);
    EXPECT_EQ(URLs(page), (std::set<std::string>{"http://h/a.html", "http://h/b.html"}));
}

// What a document's links are depends on what it is: a page's markup and
// styles hold links, its text none; a style sheet's links are its url()
// references; in a script or a data document every link is a guess; a text
// or another file links nothing. Only a page's head is ever edited.
TEST_F(HTMLPage, TakesLinksAsTheDocumentsKindHoldsThem)
{
    mContext.mConfiguration.mGeneralOptions.useServerContentType = 1;
    const std::string body = "<head></head><a href=\"a.html\">a</a> (b.gif) \"c.unknown\" "
                             "x{background:url(d.png)} str(self.msg) 'e.js'";
    using Guesses = std::map<std::string, bool>;
    const Guesses kAllGuesses = {
        {"http://h/a.html", true}, {"http://h/b.gif", true}, {"http://h/d.png", true}, {"http://h/e.js", true}};
    const struct {
        const char* contentType;
        const char* url;
        Guesses links;  // URL -> guess
    } cases[] = {
        // A page's visible text is no source of links, nor of guesses.
        {"text/html; charset=utf-8", "http://h/p.html", {{"http://h/a.html", false}}},
        {"text/css", "http://h/s.css", {{"http://h/d.png", false}}},
        {"application/javascript", "http://h/s.js", kAllGuesses},
        {"application/json", "http://h/searchindex.json", kAllGuesses},
        {"", "http://h/notes.txt", {}},
        {"text/plain", "http://h/README", {}},
        {"application/octet-stream", "http://h/tool.py", {}},
    };
    for (const auto& c : cases) {
        CURL fetched = Fetched(c.url, body, c.contentType);
        CHTMLPage page(mContext.mConfiguration.mDelimiters, fetched, false, &mContext);
        Guesses links;
        for (const CLinkRecord& record : page.LinkRecords()) links[record.mURL] = record.mGuess;
        EXPECT_EQ(links, c.links) << c.url;
        EXPECT_EQ(BodyOf(fetched) == body, page.Kind() != EPageKind::kPage) << c.url;
    }
}

// What a page only shows is no link: examples of markup, words that look
// like style references or attributes, names and texts for people. What its
// markup, styles and scripts name stays, guesses as guesses.
TEST_F(HTMLPage, WhatAPageOnlyShowsIsNoLink)
{
    using Links = std::map<std::string, bool>;  // URL -> guess
    const struct {
        const char* page;
        Links links;
    } cases[] = {
        {"<pre>Click &lt;a href=\"/private\"&gt;here&lt;/a&gt;</pre><a href=\"real.html\">r</a>",
         {{"http://h/real.html", false}}},
        {"<pre>IndexHeadInsert \"&lt;link href=\\\"/sitemap.html\\\"&gt;\"</pre><p>SRC=x.gif HREF=y.html</p>", {}},
        {"<p>Use &lt;img src = \"shown.gif\"&gt;</p><img src = \"real.gif\">", {{"http://h/real.gif", false}}},
        {"<code>const src = <span class=\"s\">'x'</span></code>", {}},
        {"<td>The URL(s) of the server</td><div style=\"background:url(bg.png)\"></div>", {{"http://h/bg.png", false}}},
        {"<style>p { background: url(s.png) }</style><p>see url(t.png)</p>", {{"http://h/s.png", false}}},
        {"<a name=\"opt.xml\" id=\"opt.xml\"></a><img src=\"logo.png\" alt=\"Underscore.js\" title=\"x.html\">",
         {{"http://h/logo.png", false}}},
        {"<a href=\"javascript:void(0)\" data-link=\"callback.Ready.html\" class=\"a.css\">Ready</a>", {}},
        {"<a href=\"#\" onclick=\"open('popup.html')\">p</a><img data-src=\"lazy.png\">",
         {{"http://h/popup.html", true}, {"http://h/lazy.png", false}}},
        {"<script>Search.loadIndex(\"searchindex.js\"); w('<img src=\"made.gif\">')</script>",
         {{"http://h/searchindex.js", true}, {"http://h/made.gif", false}}},
    };
    for (const auto& c : cases) {
        CURL fetched = Fetched("http://h/p.html", c.page);
        CHTMLPage page(mContext.mConfiguration.mDelimiters, fetched, false, &mContext);
        Links links;
        for (const CLinkRecord& record : page.LinkRecords()) links[record.mURL] = record.mGuess;
        EXPECT_EQ(links, c.links) << c.page;
    }
}

}  // namespace
