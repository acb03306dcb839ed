// The fetch operations that run through the HTTP client: HEAD, GET and POST
// on the shared download service while the calling thread sleeps.
#include <memory>
#include <string>
#include <string_view>

#include "engine/transfer/http_request.h"
#include "engine/http/response_header.h"
#include "engine/transfer/owner_requests.h"
#include "engine/transfer/transfer_environment.h"
#include "engine/url/url_record.h"

namespace {

// What a fetch takes from the response.
enum class EResponseUse {
    kBodyAndHeaders,   // GET, POST
    kHeaders,          // HEAD
    kContentTypeOnly,  // HEAD for the Content-Type
};

const char* Text(const char* text)
{
    return text != nullptr ? text : "";
}

// No fetch waits for a silent server for ever: none configured means the
// settings' network time-out.
std::uint32_t TimeoutSeconds(std::int32_t timeoutSeconds)
{
    return static_cast<std::uint32_t>(StallTimeoutSeconds(timeoutSeconds));
}

// Runs the request to its end and fills the record from a successful one;
// a failed request leaves the record's response fields as they were.
std::uint8_t RunRequest(CURL& url, HTTPRequest& request, std::string_view method, const char* userAgent,
                        const char* user, const char* password, std::string_view postBody, EResponseUse use)
{
    url.mFetchedOK = 0;
    if (method == "GET") request.SetIfModifiedSince(url.mIfModifiedSince);
    url.mFailureText.clear();
    CStatus started;
    if (method == "HEAD") started = request.StartHead(url.mURL, Text(userAgent), Text(user), Text(password));
    else if (method == "POST")
        started = request.StartPost(url.mURL, Text(userAgent), Text(user), Text(password), postBody);
    else started = request.StartGet(url.mURL, Text(userAgent), Text(user), Text(password));
    if (started.Failed()) {
        url.mFailureText = request.ErrorText();
        return 0;
    }
    request.WaitUntilDone();
    if (!request.Succeeded()) {
        url.mFailureText = request.ErrorText();
        return 0;
    }

    switch (use) {
    case EResponseUse::kBodyAndHeaders: {
        url.mBody = request.TakeBody();
        url.mFetchedOK = 1;
        url.ReadResponseHeaders(request.ResponseHeader());
        break;
    }
    case EResponseUse::kHeaders:
        url.mFetchedOK = 1;
        url.ReadResponseHeaders(request.ResponseHeader());
        break;
    case EResponseUse::kContentTypeOnly: {
        url.mFetchedOK = 1;
        CHeaderBlock block;
        ParseHeaderBlock(request.ResponseHeader(), block);
        url.mContentType = block.fields.Lookup("content-type");
        break;
    }
    }
    return url.mFetchedOK;
}

// GET, or POST of the record's form body when it has one.
std::uint8_t RunGetOrPost(CURL& url, HTTPRequest& request, const char* userAgent, const char* user,
                          const char* password)
{
    if (url.mPostBody.IsEmpty())
        return RunRequest(url, request, "GET", userAgent, user, password, {}, EResponseUse::kBodyAndHeaders);
    const std::string body = url.mPostBody.str();
    return RunRequest(url, request, "POST", userAgent, user, password, body, EResponseUse::kBodyAndHeaders);
}

}  // namespace

std::uint8_t CURL::FetchHead(const char* userAgent, const char* user, const char* password,
                             std::int32_t timeoutSeconds)
{
    mGrabOwner = nullptr;
    HTTPRequest request(TimeoutSeconds(timeoutSeconds), false);
    return RunRequest(*this, request, "HEAD", userAgent, user, password, {}, EResponseUse::kHeaders);
}

std::uint8_t CURL::FetchContentType(const char* userAgent, std::int32_t timeoutSeconds)
{
    mGrabOwner = nullptr;
    HTTPRequest request(TimeoutSeconds(timeoutSeconds), false);
    return RunRequest(*this, request, "HEAD", userAgent, nullptr, nullptr, {}, EResponseUse::kContentTypeOnly);
}

std::uint8_t CURL::Fetch(const char* userAgent, const char* user, const char* password,
                         std::int32_t timeoutSeconds)
{
    mGrabOwner = nullptr;
    mRequestOwner = nullptr;
    HTTPRequest request(TimeoutSeconds(timeoutSeconds), false);
    return RunGetOrPost(*this, request, userAgent, user, password);
}

std::uint8_t CURL::FetchSimple(std::int32_t timeoutSeconds)
{
    const std::string userAgent = SettingsUserAgent();
    return Fetch(userAgent.c_str(), nullptr, nullptr, timeoutSeconds);
}

std::uint8_t CURL::FetchWithAgent(const char* userAgent, std::int32_t timeoutSeconds)
{
    return Fetch(userAgent, nullptr, nullptr, timeoutSeconds);
}

std::uint8_t CURL::FetchWithProgress(CCrawlOwner* owner, CCrawlListener* listener, const char* userAgent,
                                     const char* user, const char* password, std::int32_t timeoutSeconds)
{
    mGrabOwner = nullptr;
    mRequestOwner = owner;
    mListener = listener;
    HTTPRequest request(owner, listener, TimeoutSeconds(timeoutSeconds), false);
    return RunGetOrPost(*this, request, userAgent, user, password);
}

// The site login goes to the crawl's start host only, never to the other
// hosts that a crawl may visit.
std::uint8_t CURL::FetchAuthorized(CCrawlOwner* owner, CCrawlListener* listener, const char* userAgent,
                                   std::int32_t timeoutSeconds)
{
    std::string user;
    std::string password;
    OwnerSiteLoginFor(owner, mHost, user, password);
    return FetchWithProgress(owner, listener, userAgent, user.c_str(), password.c_str(), timeoutSeconds);
}

std::uint8_t CURL::Post(const char* userAgent, const char* user, const char* password, const CTextBuffer& body)
{
    mGrabOwner = nullptr;
    mRequestOwner = nullptr;
    HTTPRequest request(10, false);
    const std::string bodyText = body.str();
    return RunRequest(*this, request, "POST", userAgent, user, password, bodyText, EResponseUse::kBodyAndHeaders);
}
