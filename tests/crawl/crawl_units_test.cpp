// The crawl's small rules, table by table: which hosts are one site, the
// elapsed-time text, links between mirror paths, the form query, META
// refresh targets, report escaping, generated names' extensions and the
// progress-mail timer.
#include <gtest/gtest.h>

#include <chrono>

#include "engine/config/configuration.h"
#include "engine/crawl/crawl_mirror.h"
#include "engine/crawl/crawl_relinking.h"
#include "engine/crawl/elapsed_time.h"
#include "engine/crawl/form_submission.h"
#include "engine/crawl/generated_names.h"
#include "engine/crawl/html_escape.h"
#include "engine/crawl/meta_refresh.h"
#include "engine/crawl/progress_mail_timer.h"
#include "engine/crawl/site_domain.h"
#include "engine/crawl/site_iterator.h"
#include "foundation/text/text_buffer.h"
#include "tests/support/growth_ratio.h"
#include "tests/support/recording_listener.h"
#include "foundation/threads/thread.h"
#include "foundation/threads/thread_scheduler.h"

namespace {

TEST(SiteDomain, HostsAreOneSiteOnlyWithinARegistrableDomain)
{
    struct Case {
        const char* a;
        const char* b;
        bool same;
    };
    const Case cases[] = {
        {"www.example.com", "img.example.com", true},
        {"WWW.Example.COM", "example.com", true},
        {"example.co.uk", "other.co.uk", false},
        {"www.example.co.uk", "example.co.uk", true},
        {"a.com", "a.company.com", false},
        {"a.com", "b.a.com", true},
        {"localhost", "otherhost", false},
        {"intranet", "intranet", true},
        {"127.0.0.1", "127.0.0.2", false},
        {"www.a.localhost", "img.a.localhost", true},
        {"a.localhost", "b.localhost", false},
        {"example.com:8080", "www.example.com:8080", true},
        {"example.com:8080", "example.com", false},
        {"[::1]:80", "[::1]:80", true},
        {"user.github.io", "other.github.io", false},
    };
    for (const Case& c : cases) EXPECT_EQ(SiteDomain(c.a) == SiteDomain(c.b), c.same) << c.a << " / " << c.b;
    EXPECT_EQ(SiteDomain("www.example.co.uk:81"), "example.co.uk:81");
}

TEST(ElapsedTime, UnitsAreNamedAndEachFollowedByOneBlank)
{
    const std::pair<std::int64_t, const char*> cases[] = {
        {0, ""},
        {1, "1 sec "},
        {59, "59 secs "},
        {60, "1 min "},
        {61, "1 min 1 sec "},
        {3600, "1 hr "},
        {3661, "1 hr 1 min 1 sec "},
        {3723, "1 hr 2 mins 3 secs "},
        {7200, "2 hrs "},
    };
    for (const auto& [seconds, text] : cases) EXPECT_EQ(ElapsedTimeText(seconds), text) << seconds;
}

TEST(LinkLocalPath, LinksClimbOnlyOutOfFoldersTheTargetDoesNotShare)
{
    struct Case {
        const char* target;
        const char* pageFolder;
        const char* link;
    };
    const Case cases[] = {
        {"h/a.html", "h/", "a.html"},
        {"h/x/y.html", "h/a/b/", "../../x/y.html"},
        {"h/a/b/c.html", "h/a/", "b/c.html"},
        {"h/a/Index.html", "h/a/", "Index.html"},
        {"img.h/80/p.png", "www.h/80/a/", "../../../img.h/80/p.png"},
        {"h/ab/c.html", "h/a/", "../ab/c.html"},
        {"h/a.html", "", "h/a.html"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CCrawlRelinking::LinkLocalPath(c.target, c.pageFolder), c.link) << c.target << " from " << c.pageFolder;
}

// A saved file's place as links write it; a file outside the mirror, even
// in a folder whose name begins like the mirror's, has none.
TEST(MirrorPathFromRoot, FilesInsideTheMirrorOnlyAreWrittenForLinks)
{
    struct Case {
        const char* root;
        const char* file;
        const char* path;
    };
    const Case cases[] = {
        {"/tmp/mirror", "/tmp/mirror/h/80/a b/x.html", "h/80/a%20b/x.html"},
        {"/tmp/mirror", "/tmp/mirror/Index.html", "Index.html"},
        {"/tmp/mirror", "/tmp/mirror", ""},
        {"/tmp/mirror", "/tmp/mirror2/h/x.html", ""},
        {"/tmp/mirror", "/tmp/other/x.html", ""},
        {"/", "/h/x.html", "h/x.html"},
    };
    for (const Case& c : cases) {
        CConfiguration configuration;
        configuration.mGeneralOptions.localPath = c.root;
        CConfiguration* const pointer = &configuration;
        const CCrawlMirror mirror(pointer, false);
        EXPECT_EQ(mirror.PathFromRoot(CFileRef(std::string(c.file))), c.path) << c.file << " below " << c.root;
    }
}

TEST(FormQuery, ItemsAreFormEncodedAndJoined)
{
    struct Case {
        std::vector<std::pair<const char*, const char*>> items;
        const char* query;
    };
    const Case cases[] = {
        {{}, ""},
        {{{"a", "1"}, {"b", "2"}}, "a=1&b=2"},
        {{{"q", "two words"}, {"x&y", "=%"}}, "q=two+words&x%26y=%3D%25"},
        {{{"empty", ""}}, "empty="},
    };
    for (const Case& c : cases) {
        TPooledList<CInputItem> items;
        for (const auto& [name, value] : c.items) {
            CInputItem item;
            item.name = name;
            item.value = value;
            items.Append(item);
        }
        CTextBuffer query("left over");
        BuildFormQuery(items, query);
        EXPECT_EQ(query.str(), c.query);
    }
}

TEST(MetaRefresh, TargetIsReadFromEitherMarkerIgnoringCase)
{
    const std::pair<const char*, const char*> cases[] = {
        {"<meta http-equiv=refresh content=\"0; URL=next.html\">", "next.html"},
        {"<META HTTP-EQUIV=\"REFRESH\" CONTENT=\"5;url=http://h/x\">", "http://h/x"},
        {"<meta http-equiv=\"refresh\" content='0; url= spaced.html '>", "spaced.html"},
        {"<meta http-equiv=refresh content=\"5\">", ""},
        {"<p>URL=not-a-refresh.html</p>", ""},
        {"<meta charset=utf-8><meta name=x content=\"URL=no\"><meta http-equiv=refresh content=\"0;URL=second\">",
         "second"},
        {"", ""},
    };
    for (const auto& [body, target] : cases) EXPECT_EQ(MetaRefreshTarget(body), target) << body;
}

// A page of elements that never close is read once, not once per element:
// the work grows with the page (sixteen times here), not with its square.
TEST(MetaRefresh, UnclosedElementsAreReadInLinearTime)
{
    for (const std::string_view piece : {"<meta ", "<meta http-equiv=refresh "}) {
        std::string small, large;
        while (small.size() < (64u << 10)) small += piece;
        while (large.size() < (1u << 20)) large += piece;
        auto read = [&](std::size_t size) { (void)MetaRefreshTarget(size == small.size() ? small : large); };
        EXPECT_LT(testsupport::GrowthRatio(read, small.size(), large.size()), 100.0) << piece;
    }
}

TEST(HtmlEscape, MarkupCharactersBecomeEntities)
{
    std::string out;
    AppendEscapedHTML(out, "<a href=\"x\">Tom & Jerry's</a>");
    EXPECT_EQ(out, "&lt;a href=&quot;x&quot;&gt;Tom &amp; Jerry&#39;s&lt;/a&gt;");
}

// Pages follow the configuration; anything else keeps its type's extension,
// known from the response or, before it, from the URL's own extension.
TEST(GeneratedNames, ExtensionFollowsTheTypeAndTheOptionsOnlyForPages)
{
    const TextMap<std::string> types = {{"text/html", ".html"}, {"text/css", ".css"}, {"image/png", ".png"}};
    const CGeneratedExtensionRules configured{.alwaysUseExtension = true, .configuredExtension = "htm"};
    const CGeneratedExtensionRules fromType{.fromContentType = true, .configuredExtension = ""};
    const CGeneratedExtensionRules none{};
    struct Case {
        const char* contentType;
        const char* urlExtension;
        const CGeneratedExtensionRules& rules;
        const char* expected;
    };
    const Case cases[] = {
        {"text/html; charset=utf-8", ".php", configured, ".htm"},
        {"", ".php", configured, ".htm"},
        {"", "", configured, ".htm"},
        {"TEXT/CSS", ".php", configured, ".css"},
        {"", ".css", configured, ".css"},
        {"", ".css", none, ".css"},
        {"image/png", "", none, ".png"},
        {"application/x-unknown", ".php", configured, ""},
        {"application/x-unknown", ".png", configured, ".png"},
        {"text/html", ".php", none, ""},
        {"", ".php", fromType, ".html"},
        {"text/css", ".css", fromType, ".css"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GeneratedNameExtension(c.contentType, c.urlExtension, c.rules, types), c.expected)
            << c.contentType << " " << c.urlExtension;

    EXPECT_EQ(WithGeneratedExtension("6BC2473D-0167-4176-AC16-7E7CEBDFFFE1.html", ".css"),
              "6BC2473D-0167-4176-AC16-7E7CEBDFFFE1.css");
    EXPECT_EQ(WithGeneratedExtension("6BC2473D-0167-4176-AC16-7E7CEBDFFFE1", ".css"),
              "6BC2473D-0167-4176-AC16-7E7CEBDFFFE1.css");
    EXPECT_EQ(WithGeneratedExtension("page.html", ".css"), "page.html") << "a type extension's name stays";
    EXPECT_EQ(WithGeneratedExtension("Index~0123456789ab.html", ".css"), "Index~0123456789ab.html");
}

TEST(ProgressMailTimer, NoPositivePeriodMeansNoPeriodicMail)
{
    CConfiguration configuration;
    testsupport::CRecordingListener listener;
    CSiteIterator driver(listener, SCrawlOptions{}, &configuration, CURL("http://h/"), StandardCrawlCollaborators({}));
    for (long period : {0L, -5L}) {
        CProgressMailTimer timer(driver, std::chrono::seconds(10), std::chrono::seconds(period));
        EXPECT_FALSE(timer.IsRunning()) << period;
    }
    const std::int32_t before = CThread::LiveThreads().Count();
    {
        CProgressMailTimer timer(driver, std::chrono::seconds(10), std::chrono::seconds(60));
        EXPECT_TRUE(timer.IsRunning());
        EXPECT_EQ(CThread::LiveThreads().Count(), before + 1);
    }
    // Removing the timer ends its thread; nothing is sent.
    CThreadScheduler::RunUntil([&] { return CThread::LiveThreads().Count() == before; },
                               std::chrono::steady_clock::now() + std::chrono::seconds(5));
    EXPECT_EQ(CThread::LiveThreads().Count(), before);
}

}  // namespace
