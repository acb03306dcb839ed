// Internal to platform/net: the checks a request passes before anything
// touches the network, and the small text tests the transfer makes.
#pragma once

#include <string>

#include "platform/net/transfer_request.h"

namespace net::detail {

// True for ftp:// URLs (any case).
bool IsFtpUrl(const std::string& url);

// True when one of the header lines names `name` (any case).
bool HasHeaderNamed(const TransferRequest& request, const char* name);

// Why the request must not be sent, or empty.
std::string RequestRefusal(const TransferRequest& request);

// The status code of the block's first line, "HTTP/x.y NNN ...", or 0.
int ParseStatusLine(const std::string& headerBlock);

}  // namespace net::detail
