// What every transfer of the program shares: the download service that the
// crawl's GETs run on, the settings that shape a request, and the CA file
// knob that lets tests trust their own certificate.
#pragma once

#include <cstdint>
#include <string>

#include "platform/net/transfer_request.h"
#include "platform/net/transfer_service.h"

// The one service of the crawl's downloads, started on first use; its
// connections, DNS answers and TLS sessions serve every download.
net::TransferService& SharedDownloadService();

// When not empty, HTTPS peers are verified against this CA file only. Tests
// set it to their self-signed certificate; the program never does.
void SetTrustedCAFile(std::string path);
const std::string& TrustedCAFile();

// The settings' user agent, empty before the settings exist.
std::string SettingsUserAgent();
// The settings' auto-redirect switch (off before the settings exist).
[[nodiscard]] bool AutoRedirectEnabled();
// The settings' network time-out in seconds (60 before the settings exist).
[[nodiscard]] std::int32_t SettingsNetworkTimeout();
// The stall time-out of every request, in seconds: the configured one, or
// the settings' network time-out where none is configured (0 or less), so no
// request waits for a silent server for ever.
[[nodiscard]] std::int32_t StallTimeoutSeconds(std::int32_t configured);

// True for http://, https:// and ftp:// URLs (any case): the only ones the
// program ever requests.
[[nodiscard]] bool IsTransferableURL(const std::string& url);
[[nodiscard]] bool IsFtpURL(const std::string& url);

// A request for `url` with the program's fixed options (CA file).
net::TransferRequest MakeTransferRequest(const std::string& url);
