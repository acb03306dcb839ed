// How a transfer ended. Only kCompleted means the whole response arrived;
// a transfer that stalls, fails or is aborted after its header came is never
// kCompleted, whatever its status code.
#pragma once

#include <cstdint>
#include <string>

namespace net {

enum class TransferOutcome {
    kCompleted,  // the whole response arrived (any status code)
    kAborted,    // cancelled by the caller, or the sink refused the body
    kStalled,    // the inactivity time-out ran out
    kFailed,     // refused request, network or protocol error; see errorText
    kTruncated,  // the connection closed before the announced length arrived
};

struct TransferResult {
    TransferOutcome outcome = TransferOutcome::kFailed;
    // HTTP: the final response's status code, 0 when no header arrived.
    // FTP: 200 for a successful transfer, 404 for a missing file (reply 550),
    // 403 for denied access, 401 for a refused login, else 0.
    int statusCode = 0;
    // HTTP: the final response header block exactly as received, from the
    // status line through the empty line that ends it. Interim 1xx blocks
    // and trailers are left out. FTP: empty.
    std::string rawHeader;
    std::string errorText;  // empty for kCompleted
    std::uint64_t bytesReceived = 0;
    std::int64_t expectedSize = -1;  // from Content-Length or the FTP size; -1 unknown

    // A complete 2xx response (FTP success reports 200): the only result that
    // counts as fetched.
    bool Fetched() const
    {
        return outcome == TransferOutcome::kCompleted && statusCode >= 200 && statusCode < 300;
    }
};

// Name of an outcome for logs and test messages.
const char* TransferOutcomeName(TransferOutcome outcome);

}  // namespace net
