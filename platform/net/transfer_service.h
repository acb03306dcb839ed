// Transfers driven by one background OS thread, so that a fiber can start a
// transfer and sleep until OnFinished wakes it. All transfers of a service
// share its connection cache: sequential requests to one host reuse one
// connection. Submit, Cancel and Pause may be called from any thread,
// including from inside a sink's callbacks.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/net/transfer_request.h"
#include "platform/net/transfer_sink.h"

namespace net {

using TransferHandle = std::uint64_t;  // 0 never names a transfer

class TransferService {
public:
    TransferService();
    // Ends every transfer still running or queued as kAborted (their
    // OnFinished runs on the service thread), then stops the thread. Never
    // destroy the service from inside one of its sinks' callbacks.
    ~TransferService();

    TransferService(const TransferService&) = delete;
    TransferService& operator=(const TransferService&) = delete;

    // Queues the request and returns at once. `sink` must stay alive until
    // its OnFinished has returned. A refused request is reported through
    // OnFinished like any other.
    TransferHandle Submit(TransferRequest request, TransferSink& sink);

    // Ends the transfer as kAborted at once, without waiting for a time-out.
    // A handle that already finished is ignored.
    void Cancel(TransferHandle handle);

    // A paused transfer reads nothing and cannot stall; resuming restarts
    // the inactivity clock.
    void Pause(TransferHandle handle, bool paused);

private:
    class Worker;
    std::unique_ptr<Worker> worker_;
};

}  // namespace net
