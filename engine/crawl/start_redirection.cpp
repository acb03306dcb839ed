#include "engine/crawl/start_redirection.h"

#include <utility>

#include "engine/config/configuration.h"
#include "engine/crawl/meta_refresh.h"
#include "engine/http/location_value.h"
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

bool FollowRedirection(const CConfiguration& configuration, std::string& ioURL, CStartAnswer& answer)
{
    answer = CStartAnswer{};
    const char* userAgent = configuration.mMiscOptions.userAgent.c_str();
    const CGeneralOptions& general = configuration.mGeneralOptions;
    HTTPRequest request(static_cast<std::uint32_t>(StallTimeoutSeconds(general.timeout)), false);
    request.SetBodyLimit(kStartRedirectionWindow);
    if (request.StartGet(ioURL, userAgent, general.name.c_str(), general.password.c_str()).Failed()) return false;
    request.WaitUntilDone();
    if (!request.Succeeded()) {
        if (request.TimedOut()) {
            answer.url = ioURL;
            answer.unanswered = true;
        }
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
        if (read && page.mStatusCode == 200 && !request.BodyLimitReached()) {
            answer.url = ioURL;
            answer.fetched = true;
            answer.rawHeader = request.ResponseHeader();
            answer.body = std::move(body);
        }
        return false;
    }
    return ChangeTo(ioURL, CleanLocationValue(page.mLocation));
}

bool FollowRedirection(const CConfiguration& configuration, std::string& ioURL)
{
    CStartAnswer unused;
    return FollowRedirection(configuration, ioURL, unused);
}

int FollowStartRedirections(CConfiguration& configuration, std::string& ioURL, int maxSteps,
                            CStartAnswer* answer)
{
    const std::string namedHost = HostOf(ioURL);
    CStartAnswer learned;
    int steps = 0;
    while (steps < maxSteps && FollowRedirection(configuration, ioURL, learned)) {
        ++steps;
        if (HostOf(ioURL) != namedHost) DropLogins(configuration);
    }
    if (answer != nullptr) *answer = std::move(learned);
    return steps;
}
