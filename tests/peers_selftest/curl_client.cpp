#include "curl_client.h"

#include <stdexcept>

namespace {

size_t Append(char* data, size_t size, size_t count, void* target)
{
    static_cast<std::string*>(target)->append(data, size * count);
    return size * count;
}

}  // namespace

CurlSession::CurlSession() : mHandle(curl_easy_init())
{
    if (!mHandle) throw std::runtime_error("curl_easy_init failed");
}

CurlSession::~CurlSession()
{
    curl_easy_cleanup(mHandle);
}

CurlResult CurlSession::Perform(const std::string& url, const CurlConfigure& configure)
{
    CurlResult result;
    // A reset keeps the connection cache, so keep-alive still applies.
    curl_easy_reset(mHandle);
    curl_easy_setopt(mHandle, CURLOPT_URL, url.c_str());
    curl_easy_setopt(mHandle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(mHandle, CURLOPT_TIMEOUT_MS, 10000L);
    curl_easy_setopt(mHandle, CURLOPT_WRITEFUNCTION, Append);
    curl_easy_setopt(mHandle, CURLOPT_WRITEDATA, &result.body);
    curl_easy_setopt(mHandle, CURLOPT_HEADERFUNCTION, Append);
    curl_easy_setopt(mHandle, CURLOPT_HEADERDATA, &result.head);
    if (configure) configure(mHandle);
    result.code = curl_easy_perform(mHandle);
    curl_easy_getinfo(mHandle, CURLINFO_RESPONSE_CODE, &result.status);
    curl_easy_getinfo(mHandle, CURLINFO_TOTAL_TIME, &result.seconds);
    curl_easy_getinfo(mHandle, CURLINFO_NUM_CONNECTS, &result.newConnections);
    char* effective = nullptr;
    curl_easy_getinfo(mHandle, CURLINFO_EFFECTIVE_URL, &effective);
    if (effective) result.effectiveUrl = effective;
    return result;
}

CurlResult Fetch(const std::string& url, const CurlConfigure& configure)
{
    CurlSession session;
    return session.Perform(url, configure);
}
