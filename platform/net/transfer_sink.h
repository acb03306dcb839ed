// Receiver of one transfer's events. Every call comes on the thread that
// drives the transfer (the caller's for RunBlocking, the service thread for
// TransferService), in this order: OnResponseHeader at most once, then
// OnBodyBytes and OnProgress per chunk, then OnFinished exactly once. After
// OnFinished returns the layer never touches the sink again.
//
// Calls must return quickly: a slow sink holds up every transfer of the
// service. An exception thrown by a callback ends the transfer as kFailed.
// A sink that wakes a waiter on another thread from OnFinished must do so
// under a lock the waiter takes too, so the waiter cannot destroy the sink
// while OnFinished is still running.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/net/transfer_result.h"

namespace net {

class TransferSink {
public:
    virtual ~TransferSink() = default;

    // HTTP only: the final header block, before any body byte.
    virtual void OnResponseHeader(int statusCode, std::string_view rawHeader)
    {
        (void)statusCode;
        (void)rawHeader;
    }

    // Body bytes as they arrive. Returning false stops the transfer, which
    // then ends as kAborted.
    virtual bool OnBodyBytes(const char* data, std::size_t size)
    {
        (void)data;
        (void)size;
        return true;
    }

    // Asked after every OnBodyBytes that kept the bytes: true pauses the
    // transfer, as TransferService::Pause does, until its owner resumes it
    // (a receiver that cannot keep up holds the sender back instead of
    // piling up bytes). Only for transfers of a TransferService.
    virtual bool PauseAfterBody() { return false; }

    // After every body chunk: the bytes so far and the expected total (-1
    // when unknown).
    virtual void OnProgress(std::uint64_t received, std::int64_t expected)
    {
        (void)received;
        (void)expected;
    }

    // A TransferService's transfer only: after a turn of the service that
    // made this transfer's header, body or progress calls and did not finish
    // it. A sink that wakes its reader here, not at every call, wakes it
    // once for a header and a body that came together.
    virtual void OnCallsDone() {}

    virtual void OnFinished(const TransferResult& result) { (void)result; }
};

}  // namespace net
