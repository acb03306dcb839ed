// Internal to platform/net: the checks a request passes before anything
// touches the network, and the small text tests they share.
#pragma once

#include <string>
#include <string_view>

#include "platform/net/transfer_request.h"

namespace net::detail {

bool StartsWithNoCase(std::string_view text, std::string_view prefix);

// True for ftp:// URLs (any case).
bool IsFtpUrl(std::string_view url);

// True when one of the header lines names `name` (any case).
bool HasHeaderNamed(const TransferRequest& request, std::string_view name);

// Why the request must not be sent, or empty.
std::string RequestRefusal(const TransferRequest& request);

// The status code of an "HTTP/x.y NNN ..." line, 0 when it is not one.
int ParseStatusLine(std::string_view block);

}  // namespace net::detail
