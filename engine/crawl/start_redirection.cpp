#include "engine/crawl/start_redirection.h"

#include <chrono>
#include <mutex>

#include "engine/config/configuration.h"
#include "engine/crawl/meta_refresh.h"
#include "engine/url/url_resolution.h"
#include "engine/transfer/http_request.h"
#include "engine/transfer/transfer_environment.h"
#include "engine/url/url_record.h"
#include "foundation/text/ascii.h"
#include "foundation/text/text_encodings.h"

namespace {

// A refresh belongs in the head; a page's tail is never searched, however
// large the page.
constexpr std::size_t kRefreshScanBytes = 64 * 1024;

using Clock = std::chrono::steady_clock;

// How long a silent start URL is taken for silent: long enough for the
// crawl that the same start begins, short enough not to outlive it.
constexpr auto kUnansweredMemory = std::chrono::minutes(5);
// A start page read by the check serves the crawl that follows at once,
// not one started much later.
constexpr auto kFetchedStartMemory = std::chrono::seconds(60);

// The last start URL that did not answer (the cooperative threads share it;
// a start is taken on one thread at a time).
struct CUnansweredStart {
    std::string url;
    Clock::time_point when;
};

CUnansweredStart& Unanswered()
{
    static CUnansweredStart start;
    return start;
}

// The last start page read whole that was no redirection. The windows
// check their start on a thread of its own: a mutex guards it.
struct CFetchedStart {
    std::string url;
    std::string rawHeader;
    std::string body;
    Clock::time_point when;
};

std::mutex gFetchedStartMutex;

CFetchedStart& FetchedStart()
{
    static CFetchedStart start;
    return start;
}

void RememberFetchedStart(const std::string& url, std::string rawHeader, std::string body)
{
    std::lock_guard lock(gFetchedStartMutex);
    FetchedStart() = CFetchedStart{url, std::move(rawHeader), std::move(body), Clock::now()};
}

bool ChangeTo(std::string& ioURL, const std::string& target)
{
    std::string resolved;
    if (target.empty() || !ResolveRelativeURL(ioURL, target, resolved) || resolved == ioURL) return false;
    ioURL = resolved;
    return true;
}

// Host and port, as the crawl compares its start host.
std::string HostOf(const std::string& url)
{
    return AsciiLowercased(CURL(url).mHost);
}

void DropLogins(CConfiguration& configuration)
{
    configuration.mGeneralOptions.name = "";
    configuration.mGeneralOptions.password = "";
    configuration.mSiteLogin.siteUsername = "";
    configuration.mSiteLogin.sitePassword = "";
    configuration.mSiteLogin.realmList.Clear();
}

}  // namespace

bool TakeUnansweredStart(const std::string& url)
{
    CUnansweredStart& start = Unanswered();
    if (start.url.empty() || start.url != url) return false;
    const bool recent = Clock::now() - start.when < kUnansweredMemory;
    start.url.clear();
    return recent;
}

bool TakeFetchedStart(const std::string& url, std::string& rawHeader, std::string& body)
{
    std::lock_guard lock(gFetchedStartMutex);
    CFetchedStart& start = FetchedStart();
    if (start.url.empty() || start.url != url) return false;
    const bool recent = Clock::now() - start.when < kFetchedStartMemory;
    if (recent) {
        rawHeader = std::move(start.rawHeader);
        body = std::move(start.body);
    }
    start = CFetchedStart{};
    return recent;
}

bool FollowRedirection(const CConfiguration& configuration, std::string& ioURL)
{
    const char* userAgent = configuration.mMiscOptions.userAgent.c_str();
    const CGeneralOptions& general = configuration.mGeneralOptions;
    // As the crawl's own fetch: the settings' network time-out stands in for none.
    const std::int32_t timeout = general.timeout > 0 ? general.timeout : SettingsNetworkTimeout();
    HTTPRequest request(static_cast<std::uint32_t>(timeout), false);
    request.SetBodyLimit(kStartRedirectionWindow);
    if (request.StartGet(ioURL, userAgent, general.name.c_str(), general.password.c_str()) != 0) return false;
    request.WaitUntilDone();
    if (!request.Succeeded()) {
        if (request.TimedOut()) Unanswered() = CUnansweredStart{ioURL, Clock::now()};
        return false;
    }
    CURL page(ioURL);
    page.ReadResponseHeaders(request.ResponseHeader());
    if (page.mStatusCode != 200 && page.mStatusCode != 301 && page.mStatusCode != 302) return false;

    // The body stays in memory (its limit is far below the spill size): only
    // a lack of memory keeps it, and then the Location header still counts.
    std::string body;
    const bool read = request.TakeBody().CopyTo(body);
    const std::string target =
        read ? MetaRefreshTarget(std::string_view(body).substr(0, kRefreshScanBytes)) : std::string();
    if (!target.empty() && target != ioURL) return ChangeTo(ioURL, target);
    if (page.mLocation.empty()) {
        if (read && page.mStatusCode == 200 && !request.BodyLimitReached())
            RememberFetchedStart(ioURL, request.ResponseHeader(), std::move(body));
        return false;
    }
    std::string location;
    for (char c : page.mLocation)
        if (static_cast<unsigned char>(c) > 0x20 && c != 0x7F) location += c;
    return ChangeTo(ioURL, location);
}

int FollowStartRedirections(CConfiguration& configuration, std::string& ioURL, int maxSteps)
{
    const std::string namedHost = HostOf(ioURL);
    int steps = 0;
    while (steps < maxSteps && FollowRedirection(configuration, ioURL)) {
        ++steps;
        if (HostOf(ioURL) != namedHost) DropLogins(configuration);
    }
    return steps;
}
