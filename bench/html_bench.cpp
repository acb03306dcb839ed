// Link extraction and rewriting of a realistic 200 KB page, about fifteen
// links per kilobyte of every usual shape. Reports MB/s of page text.
#include <benchmark/benchmark.h>

#include <string>
#include <unordered_map>

#include "engine/config/configuration.h"
#include "engine/html/html_page.h"
#include "engine/html/link_rewriter.h"
#include "engine/html/link_text.h"
#include "engine/html/mirror_links.h"
#include "engine/html/page_context.h"
#include "engine/url/url_record.h"

namespace {

constexpr const char* kPageURL = "http://www.example.com/docs/guide/index.html";
constexpr std::size_t kPageSize = 200 * 1024;

class CBenchPageContext : public CPageContext {
public:
    const CConfiguration& Configuration() const override { return mConfiguration; }
    bool IsStopRequested() const override { return false; }
    void ShowStatus(const std::string&) override {}
    void AddEmailAddress(const std::string&, const std::string&) override {}
    bool IsMediaMode() const override { return false; }
    void Yield() override {}

    CConfiguration mConfiguration;
};

std::string MakePage()
{
    std::string page =
        "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>Guide</title>\n"
        "<link rel=\"stylesheet\" href=\"../../css/site.css\">\n<link rel=\"icon\" href=\"/favicon.ico\">\n"
        "<script src=\"/js/app.js\"></script>\n<script src=\"//cdn.example.net/lib/jquery.min.js\"></script>\n"
        "<style>body{background:url('img/back.png')}</style></head>\n<body background=\"img/body.gif\">\n";
    for (int n = 0; page.size() < kPageSize; ++n) {
        std::string i = std::to_string(n);
        std::string k = std::to_string(n % 17);
        page += "<div class=\"item\" id=\"item-" + i + "\">\n<h3><a href=\"article-" + i + ".html\">Article " + i +
                "</a></h3>\n<p>Read the <a href=\"../section-" + k + "/page-" + i +
                ".html\">section page</a> or the <a href=\"/docs/topic-" + k +
                "/index.html#part\">topic</a>, compare with <a href=\"http://www.example.com/news/" + i +
                ".html\">the news</a> and <a href=\"https://partner.example.org/item?id=" + i +
                "\">our partner</a>. More in the <a href=\"list.php?page=" + i +
                "&amp;sort=date\">list</a>, <a href=\"#sec-" + i + "\">below</a> or <a href=archive/" + i +
                "/ class=plain>the archive</a>.</p>\n<img src=\"images/photo-" + i + ".jpg\" alt=\"Photo " + i +
                "\" width=\"120\" height=\"80\"> <img src=/images/icons/i" + k +
                ".gif>\n<span style=\"background:url(img/bg-" + k +
                ".png)\">Some text with words, punctuation, and a few more words.</span>\n</div>\n";
    }
    page += "</body></html>\n";
    return page;
}

CURL FetchedPage(const std::string& page)
{
    CURL fetched(kPageURL);
    (void)fetched.mBody.AppendBytes(page.data(), page.size());
    fetched.mContentType = "text/html";
    return fetched;
}

// What the crawl would know after examining the links: each URL's mirror
// path from the root.
std::unordered_map<std::string, std::string> RelinkMap(const CHTMLPage& page)
{
    std::unordered_map<std::string, std::string> map;
    CMirrorNaming naming;
    for (const CLinkRecord& record : page.LinkRecords())
        if (map.find(record.mURL) == map.end())
            map.emplace(record.mURL, EncodedMirrorPath(MirrorLocationForURL(record.mURL, naming)));
    return map;
}

std::size_t Rewrite(const std::string& page, const CHTMLPage& links,
                    const std::unordered_map<std::string, std::string>& relink, std::string& out)
{
    const int depth = 3;  // www.example.com/docs/guide
    std::string scratch;
    std::string url;
    CRewriteResult result = RewriteLinks(page, [&](const CLinkOccurrence& occurrence, std::string& replacement) {
        std::string_view key = NormalizeLinkText(occurrence.link, scratch);
        const std::string* found = links.FindLinkURL(key);
        if (!found) return ERewrite::kKeep;
        auto local = relink.find(*found);
        if (local == relink.end()) return ERewrite::kKeep;
        replacement = LinkFromMirrorRoot(local->second, depth);
        std::size_t hash = key.find('#');
        if (hash != std::string_view::npos) replacement += key.substr(hash);
        return ERewrite::kReplace;
    }, out);
    return result.replaced;
}

void BM_ExtractLinks(benchmark::State& state)
{
    const std::string page = MakePage();
    CBenchPageContext context;
    CURL fetched = FetchedPage(page);
    std::size_t links = 0;
    for (auto _ : state) {
        CHTMLPage extracted(context.mConfiguration.mDelimiters, fetched, false, &context);
        links = extracted.LinkRecords().size();
        benchmark::DoNotOptimize(links);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
    state.counters["links"] = static_cast<double>(links);
    state.counters["KB"] = static_cast<double>(page.size()) / 1024;
}
BENCHMARK(BM_ExtractLinks)->Unit(benchmark::kMicrosecond);

void BM_RewriteLinks(benchmark::State& state)
{
    const std::string page = MakePage();
    CBenchPageContext context;
    CURL fetched = FetchedPage(page);
    CHTMLPage links(context.mConfiguration.mDelimiters, fetched, false, &context);
    const auto relink = RelinkMap(links);
    std::string out;
    std::size_t replaced = 0;
    for (auto _ : state) {
        replaced = Rewrite(page, links, relink, out);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
    state.counters["replaced"] = static_cast<double>(replaced);
}
BENCHMARK(BM_RewriteLinks)->Unit(benchmark::kMicrosecond);

// The page's whole road through this library: extraction, then the rewrite.
void BM_ExtractAndRewrite(benchmark::State& state)
{
    const std::string page = MakePage();
    CBenchPageContext context;
    CURL fetched = FetchedPage(page);
    std::unordered_map<std::string, std::string> relink;
    {
        CHTMLPage first(context.mConfiguration.mDelimiters, fetched, false, &context);
        relink = RelinkMap(first);
    }
    std::string out;
    for (auto _ : state) {
        CHTMLPage links(context.mConfiguration.mDelimiters, fetched, false, &context);
        benchmark::DoNotOptimize(Rewrite(page, links, relink, out));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_ExtractAndRewrite)->Unit(benchmark::kMicrosecond);

}  // namespace
