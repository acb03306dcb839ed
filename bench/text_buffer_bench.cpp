// Throughput of CTextBuffer on the work the crawl gives it: building a large
// text by appends, and searching and cleaning a realistic 1 MB HTML page.
#include <cstdint>
#include <string>

#include <benchmark/benchmark.h>

#include "foundation/text/text_buffer.h"

namespace {

// About 1 MB of page: a head, then a body of paragraphs, links, images and
// inline scripts, in mixed case as pages are written.
std::string MakePage()
{
    std::string page =
        "<!DOCTYPE html>\n<html><head><title>Sample page</title>\n"
        "<script src=\"/js/site.js\"></script>\n"
        "<link rel=\"stylesheet\" href=\"/css/site.css\"></head>\n"
        "<body class=\"article\">\n";
    std::uint32_t seed = 12345;
    int section = 0;
    while (page.size() < 1000000) {
        seed = seed * 1664525u + 1013904223u;
        const std::string n = std::to_string(section++);
        page += "<div class=\"section\"><h2>Section " + n + "</h2>\n<p>Lorem ipsum dolor sit amet, consectetur "
                "adipiscing elit, sed do eiusmod tempor incididunt ut labore et dolore magna aliqua. See "
                "<a href=\"/articles/" + n + ".html\">article " + n + "</a> and <A HREF=\"../images/photo" + n +
                ".jpg\">the photo</A>.</p>\n<img src=\"/images/thumb" + n + ".png\" alt=\"thumbnail\">\n";
        if (seed % 4 == 0)
            page += "<script type=\"text/javascript\">var s" + n +
                    " = document.getElementById('x'); if (s) { s.innerHTML = '<b>hi</b>'; }</script>\n";
        if (seed % 7 == 0) page += "<SCRIPT>track(" + n + ");</SCRIPT>\n";
        page += "</div>\n";
    }
    page += "</body></html>\n<script>late();</script>\n";
    return page;
}

const std::string& Page()
{
    static const std::string page = MakePage();
    return page;
}

void BM_Append100MBIn1KBPieces(benchmark::State& state)
{
    const std::string piece(1024, 'a');
    const int pieces = 100 * 1024;
    for (auto _ : state) {
        CTextBuffer text;
        for (int i = 0; i < pieces; ++i) text.Append(piece);
        benchmark::DoNotOptimize(text.Data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(pieces) * 1024);
}
BENCHMARK(BM_Append100MBIn1KBPieces)->Unit(benchmark::kMillisecond);

// Searching for a link that the page does not hold scans all of it.
void BM_Find(benchmark::State& state)
{
    const CTextBuffer page(Page());
    for (auto _ : state) benchmark::DoNotOptimize(page.Find("href=\"/missing.html\""));
    state.SetBytesProcessed(state.iterations() * page.Length());
}
BENCHMARK(BM_Find);

void BM_FindNoCase(benchmark::State& state)
{
    const CTextBuffer page(Page());
    for (auto _ : state) benchmark::DoNotOptimize(page.FindNoCase("HREF=\"/MISSING.HTML\""));
    state.SetBytesProcessed(state.iterations() * page.Length());
}
BENCHMARK(BM_FindNoCase);

// Rewriting every link of the page: thousands of hits.
void BM_ReplaceAll(benchmark::State& state)
{
    const CTextBuffer original(Page());
    std::int32_t hits = 0;
    for (auto _ : state) {
        state.PauseTiming();
        CTextBuffer page(original);
        state.ResumeTiming();
        hits = page.ReplaceAll("<a href=\"/", "<a href=\"../");
    }
    state.counters["hits"] = hits;
    state.SetBytesProcessed(state.iterations() * original.Length());
}
BENCHMARK(BM_ReplaceAll);

void BM_ReplaceAllNoCase(benchmark::State& state)
{
    const CTextBuffer original(Page());
    std::int32_t hits = 0;
    for (auto _ : state) {
        state.PauseTiming();
        CTextBuffer page(original);
        state.ResumeTiming();
        hits = page.ReplaceAllNoCase("<a href=\"", "<a href=\"local/");
    }
    state.counters["hits"] = hits;
    state.SetBytesProcessed(state.iterations() * original.Length());
}
BENCHMARK(BM_ReplaceAllNoCase);

void BM_DeleteAllBetweenInRegion(benchmark::State& state)
{
    const CTextBuffer original(Page());
    std::int32_t removed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        CTextBuffer page(original);
        state.ResumeTiming();
        benchmark::DoNotOptimize(page.DeleteAllBetweenInRegion("<script", "</script>", "<body", "</body>"));
        removed = original.Length() - page.Length();
    }
    state.counters["removed_bytes"] = removed;
    state.SetBytesProcessed(state.iterations() * original.Length());
}
BENCHMARK(BM_DeleteAllBetweenInRegion);

}  // namespace
