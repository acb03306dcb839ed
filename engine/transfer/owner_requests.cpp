#include "engine/transfer/owner_requests.h"

#include "engine/config/configuration.h"
#include "engine/cookies/cookie_store.h"
#include "engine/owner/crawl_listener.h"
#include "engine/transfer/basic_authorization.h"
#include "engine/transfer/conditional_request.h"
#include "engine/url/url_cookies.h"
#include "engine/url/url_record.h"
#include "foundation/text/text_encodings.h"

std::vector<std::string> RequestHeaderLines(CCrawlOwner* cookieSource, const std::string& url, std::string_view user,
                                            std::string_view password, std::int64_t ifModifiedSince)
{
    std::vector<std::string> lines = OwnerCookieLines(cookieSource, url);
    if (std::string authorization = BasicAuthorizationLine(user, password); !authorization.empty())
        lines.push_back(std::move(authorization));
    lines.emplace_back("Accept: */*");
    if (std::string line = IfModifiedSinceLine(ifModifiedSince); !line.empty()) lines.push_back(std::move(line));
    return lines;
}

std::vector<std::string> OwnerCookieLines(CCrawlOwner* owner, const std::string& url)
{
    if (owner == nullptr) return {};
    const CCookieStore* store = owner->GetRunningCookieStore();
    if (store == nullptr || store->IsEmpty()) return {};
    const CConfiguration* configuration = owner->GetConfiguration();
    if (configuration != nullptr && configuration->mGeneralOptions.useCookies == 0) return {};
    return CookieHeaderLinesForURL(*store, CURL(url));
}

bool IsOwnerStartHost(const CCrawlOwner* owner, std::string_view host)
{
    if (owner == nullptr || host.empty()) return false;
    const std::string startHost = owner->GetStartHost();
    return startHost.size() == host.size() &&
           CompareTextNoCase(startHost.c_str(), std::string(host).c_str(), host.size()) == 0;
}

void OwnerSiteLoginFor(const CCrawlOwner* owner, std::string_view host, std::string& user, std::string& password)
{
    user.clear();
    password.clear();
    if (!IsOwnerStartHost(owner, host)) return;
    const CConfiguration* configuration = owner->GetConfiguration();
    if (configuration == nullptr) return;
    user = configuration->mSiteLogin.siteUsername.c_str();
    password = configuration->mSiteLogin.sitePassword.c_str();
}

std::int32_t OwnerTimeoutSeconds(const CCrawlOwner* owner)
{
    const CConfiguration* configuration = owner != nullptr ? owner->GetConfiguration() : nullptr;
    return configuration != nullptr ? configuration->mGeneralOptions.timeout : 0;
}
