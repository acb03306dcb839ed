// What one HTTP, HTTPS or FTP transfer asks for. The caller builds every
// request header itself (Cookie, Authorization, Accept, Content-Type): the
// layer adds only Host, and User-Agent when one is given, so the bytes on the
// wire are the program's own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace net {

enum class TransferMethod { kGet, kHead, kPost };

// The slowest rate a transfer may keep up for a whole stall time-out.
inline constexpr int kStallFloorBytesPerSecond = 100;

struct TransferRequest {
    // Only http://, https:// and ftp:// (any case) are sent; anything else is
    // refused before any network activity, as is a URL holding a space or a
    // control byte.
    std::string url;
    TransferMethod method = TransferMethod::kGet;
    // "Name: value" lines without line ends. A line holding CR, LF or NUL, or
    // without a name, makes the request refused.
    std::vector<std::string> headerLines;
    std::string userAgent;  // empty: no User-Agent line
    std::string postBody;   // sent as is for kPost (http and https only)
    int connectTimeoutSeconds = 0;  // 0: libcurl's default
    // Inactivity time-out: the transfer ends as kStalled when no byte moves
    // for this long (connecting included), or when fewer than
    // kStallFloorBytesPerSecond move on average over a whole time-out. 0: none.
    int stallTimeoutSeconds = 0;
    // A body longer than this ends the transfer as kFailed. 0: no cap.
    std::uint64_t maxBodyBytes = 0;
    // When set, HTTPS peers are verified against this CA file only (tests
    // trust their own self-signed certificate this way). Verification itself
    // is never turned off.
    std::string caFile;
};

}  // namespace net
