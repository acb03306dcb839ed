#include "engine/crawl/start_redirection.h"

#include "engine/config/configuration.h"
#include "engine/crawl/meta_refresh.h"
#include "engine/html/url_resolution.h"
#include "engine/url/url_record.h"
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
    std::string host = CURL(url).mHost;
    for (char& c : host) c = AsciiLower(c);
    return host;
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

bool FollowRedirection(const CConfiguration& configuration, std::string& ioURL)
{
    const char* userAgent = configuration.mMiscOptions.userAgent.c_str();
    const CGeneralOptions& general = configuration.mGeneralOptions;
    CURL head(ioURL);
    if (!head.FetchHead(userAgent, general.name.c_str(), general.password.c_str(), general.timeout)) return false;
    if (head.mStatusCode != 200 && head.mStatusCode != 301 && head.mStatusCode != 302) return false;

    CURL page(ioURL);
    if (page.Fetch(userAgent, general.name.c_str(), general.password.c_str(), general.timeout)) {
        std::string body;
        page.mBody.CopyTo(body);
        const std::string target = MetaRefreshTarget(std::string_view(body).substr(0, kRefreshScanBytes));
        if (!target.empty() && target != ioURL) return ChangeTo(ioURL, target);
    }
    if (head.mLocation.empty()) return false;
    std::string location;
    for (char c : head.mLocation)
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
