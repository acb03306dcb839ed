#include "platform/net/transfer_result.h"

namespace net {

const char* TransferOutcomeName(TransferOutcome outcome)
{
    switch (outcome) {
    case TransferOutcome::kCompleted: return "completed";
    case TransferOutcome::kAborted: return "aborted";
    case TransferOutcome::kStalled: return "stalled";
    case TransferOutcome::kFailed: return "failed";
    case TransferOutcome::kTruncated: return "truncated";
    }
    return "unknown";
}

}  // namespace net
