// Hostile amounts of state a site can hand a crawl: 40,000 Set-Cookie lines
// from 200 pages, the Cookie lines of a request against the full store, and
// a property list of 40,000 dictionary keys.
#include <benchmark/benchmark.h>

#include <string>

#include "engine/cookies/cookie.h"
#include "engine/cookies/cookie_selection.h"
#include "engine/cookies/cookie_store.h"
#include "platform/plist/plist_xml.h"

namespace {

constexpr int kPages = 200;
constexpr int kCookiesPerPage = 200;

void StoreAll(CCookieStore& store)
{
    for (int page = 0; page < kPages; ++page) {
        const std::string host = "h" + std::to_string(page % 20) + ".example.com";
        for (int i = 0; i < kCookiesPerPage; ++i) {
            CCookieList cookies;
            ParseSetCookieHeader("c" + std::to_string(page) + "_" + std::to_string(i) + "=value; Path=/; Domain=example.com",
                                 host, "/", cookies);
            for (const CCookie& cookie : cookies) store.StoreResponseCookie(cookie);
        }
    }
}

void BM_StoreSetCookieLines(benchmark::State& state)
{
    for (auto _ : state) {
        CCookieStore store;
        StoreAll(store);
        benchmark::DoNotOptimize(store.CountCookies());
    }
    state.SetItemsProcessed(state.iterations() * kPages * kCookiesPerPage);
}
BENCHMARK(BM_StoreSetCookieLines)->Unit(benchmark::kMillisecond);

void BM_CookieLinesOfARequest(benchmark::State& state)
{
    CCookieStore store;
    StoreAll(store);
    std::size_t bytes = 0;
    for (auto _ : state) {
        bytes = 0;
        for (const std::string& line : CookieHeaderLinesForRequest(store, "h1.example.com:8080", "/a/b")) bytes += line.size() + 2;
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["header_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_CookieLinesOfARequest)->Unit(benchmark::kMicrosecond);

void BM_ParseDictionaryOf40000Keys(benchmark::State& state)
{
    std::string xml = "<plist version=\"1.0\"><dict>";
    for (int i = 0; i < 40000; ++i) xml += "<key>k" + std::to_string(i) + "</key><true/>";
    xml += "</dict></plist>";
    for (auto _ : state) benchmark::DoNotOptimize(ParsePlist(xml));
}
BENCHMARK(BM_ParseDictionaryOf40000Keys)->Unit(benchmark::kMillisecond);

}  // namespace
