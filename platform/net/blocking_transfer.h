// One transfer on the calling OS thread. Never call it from a fiber: it
// blocks until the transfer ends. Sequential calls reuse connections, DNS
// answers and TLS sessions, also across threads.
#pragma once

#include <atomic>

#include "platform/net/transfer_request.h"
#include "platform/net/transfer_result.h"
#include "platform/net/transfer_sink.h"

namespace net {

// Runs the request to its end, reports to `sink` (OnFinished included) and
// returns the same result. Setting `*cancel` from another thread ends the
// transfer as kAborted within about a second.
TransferResult RunBlocking(const TransferRequest& request, TransferSink& sink,
                           const std::atomic<bool>* cancel = nullptr);

}  // namespace net
