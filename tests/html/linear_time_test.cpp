// Hostile pages of 4 MB must be read and rewritten in well under a second:
// every pass over a page is linear, whatever the page holds.
#include <gtest/gtest.h>

#include <chrono>

#include "engine/html/html_page.h"
#include "engine/html/link_rewriter.h"
#include "engine/html/page_cleanup.h"
#include "engine/url/url_record.h"
#include "recording_page_context.h"

namespace {

constexpr std::size_t kPageSize = 4u << 20;

// The test build is optimized; the sanitizers and an unoptimized build slow
// every byte down, but a quadratic pass would still take minutes there.
#if defined(__SANITIZE_ADDRESS__)
constexpr double kSecondsAllowed = 6.0;
#elif !defined(__OPTIMIZE__)
constexpr double kSecondsAllowed = 3.0;
#else
constexpr double kSecondsAllowed = 1.0;
#endif

std::string Repeated(std::string_view piece, std::string_view tail = {})
{
    std::string page;
    page.reserve(kPageSize + piece.size() + tail.size());
    while (page.size() < kPageSize) page += piece;
    page += tail;
    return page;
}

double SecondsToProcess(const std::string& body)
{
    auto start = std::chrono::steady_clock::now();
    CRecordingPageContext context;
    context.mConfiguration.mMiscOptions.extractEmailAddresses = 1;
    context.mConfiguration.mGeneralOptions.useServerContentType = 1;
    CURL fetched("http://h/a/b/page.html");
    fetched.mBody.AppendBytes(body.data(), body.size());
    fetched.mContentType = "text/html";
    std::size_t links = 0;
    {
        CHTMLPage page(context.mConfiguration.mDelimiters, fetched, false, &context);
        links = page.LinkRecords().size();
        std::string text = body;
        RemoveJavaScript(text);
        std::string out;
        RewriteLinks(text, [&page](const CLinkOccurrence& occurrence, std::string& replacement) {
            if (!page.FindLinkURL(occurrence.link)) return ERewrite::kKeep;
            replacement = "local.html";
            return ERewrite::kReplace;
        }, out);
    }
    std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    std::cout << "  " << body.substr(0, 24) << "...: " << elapsed.count() << " s, " << links << " links\n";
    return elapsed.count();
}

TEST(LinearTime, HostilePagesStayLinear)
{
    const std::string pages[] = {
        Repeated("a.", "a\""),                           // one endless dotted line
        Repeated("a.b\""),                               // a dotted link between every pair of quotes
        Repeated("\"mailto:x@y.com\">"),                 // mail links with no anchor end
        Repeated("<a href=\"mailto:x@y.com\">"),
        Repeated("("),                                   // parentheses that never close...
        Repeated("(", ")"),                              // ...until the very end
        Repeated("\"", "x"),
        Repeated("'a"),
        Repeated("href="),                               // attribute values with no end
        Repeated("HREF=\"x"),
        Repeated("src=x "),
        Repeated("<a "),
        Repeated("<a href=\"x.html\" "),
        Repeated("<head><base href=\"http://b/\">", "</head>"),
        Repeated("<body><script>", "</body>"),
        Repeated("&amp;"),
        Repeated("<a href=\"p.html\">p</a> <img src=\"i.gif\"> "),
    };
    for (const std::string& page : pages) EXPECT_LT(SecondsToProcess(page), kSecondsAllowed);
}

}  // namespace
