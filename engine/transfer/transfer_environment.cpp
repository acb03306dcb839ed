#include "engine/transfer/transfer_environment.h"

#include <utility>

#include "foundation/settings/app_settings.h"
#include "foundation/text/ascii.h"
#include "foundation/text/text_encodings.h"

namespace {

std::string& CAFile()
{
    static std::string path;
    return path;
}

}  // namespace

net::TransferService& SharedDownloadService()
{
    static net::TransferService service;
    return service;
}

void SetTrustedCAFile(std::string path)
{
    CAFile() = std::move(path);
}

const std::string& TrustedCAFile()
{
    return CAFile();
}

std::string SettingsUserAgent()
{
    return gAppSettings != nullptr ? std::string(gAppSettings->mUserAgent.c_str()) : std::string();
}

bool AutoRedirectEnabled()
{
    return gAppSettings != nullptr && gAppSettings->mAutoRedirect;
}

std::int32_t SettingsNetworkTimeout()
{
    return gAppSettings != nullptr && gAppSettings->mNetworkTimeout > 0 ? gAppSettings->mNetworkTimeout : 60;
}

std::int32_t StallTimeoutSeconds(std::int32_t configured)
{
    return configured > 0 ? configured : SettingsNetworkTimeout();
}

bool IsTransferableURL(const std::string& url)
{
    return BeginsWithNoCase(url, "http://") || BeginsWithNoCase(url, "https://") || IsFtpURL(url);
}

bool IsFtpURL(const std::string& url)
{
    return BeginsWithNoCase(url, "ftp://");
}

net::TransferRequest MakeTransferRequest(const std::string& url)
{
    net::TransferRequest request;
    request.url = url;
    request.caFile = TrustedCAFile();
    return request;
}
