// Per-request cost of the crawl's download path: fetches every URL of a list
// one after another through CURL::Grab (grab thread, download thread, the
// shared download service), as the crawl does, and prints the rate.
//
//     transfer_bench URL_LIST
//
// URL_LIST holds one URL a line. bench/transfer_bench.sh serves a generated
// site with nginx and compares the rate with curl's on the same URLs.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "engine/config/configuration.h"
#include "engine/owner/crawl_listener.h"
#include "engine/url/url_record.h"
#include "foundation/threads/thread.h"
#include "foundation/threads/thread_scheduler.h"

namespace {

// A grab with its configuration and nothing else; no one listens.
class CQuietOwner : public CCrawlOwner {
public:
    const CConfiguration* GetConfiguration() const override { return &mConfiguration; }
    CCookieStore* GetRunningCookieStore() override { return nullptr; }
    std::string GetStartHost() const override { return {}; }
    CBroadcaster* GetSkipBroadcaster() override { return nullptr; }

private:
    CConfiguration mConfiguration;
};

// The crawl's own thread: one Grab after another.
class CFetchAllThread : public CThread {
public:
    explicit CFetchAllThread(const std::vector<std::string>& urls) : CThread(EWhenFinished::kKeep), mURLs(urls) {}

    std::size_t fetched = 0;
    std::uint64_t bytes = 0;

protected:
    void* Run() override
    {
        CQuietOwner owner;
        for (const std::string& text : mURLs) {
            CURL url(text);
            if (url.Grab(&owner, nullptr, "TidewellBench/1.0", "", "") == 1 && url.mStatusCode == 200) {
                ++fetched;
                bytes += url.mBody.Length();
            }
        }
        return nullptr;
    }

private:
    const std::vector<std::string>& mURLs;
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s URL_LIST\n", argv[0]);
        return 2;
    }
    std::vector<std::string> urls;
    std::ifstream list(argv[1]);
    for (std::string line; std::getline(list, line);)
        if (!line.empty()) urls.push_back(line);
    if (urls.empty()) {
        std::fprintf(stderr, "%s: no URLs in %s\n", argv[0], argv[1]);
        return 2;
    }

    CFetchAllThread fetcher(urls);
    const auto start = std::chrono::steady_clock::now();
    fetcher.Resume();
    CThreadScheduler::RunUntil([&] { return fetcher.IsFinished(); });
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    std::printf("tidewell %zu requests in %.3f s: %.0f requests/s (%zu fetched, %llu bytes)\n", urls.size(), seconds,
                static_cast<double>(urls.size()) / seconds, fetcher.fetched,
                static_cast<unsigned long long>(fetcher.bytes));
    return fetcher.fetched == urls.size() ? 0 : 1;
}
