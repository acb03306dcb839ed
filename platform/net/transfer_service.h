// Transfers driven by one background OS thread, so that a fiber can start a
// transfer and sleep until OnFinished wakes it. All transfers of a service
// share its connection cache: sequential requests to one host reuse one
// connection. Submit, Cancel and Pause may be called from any thread,
// including from inside a sink's callbacks.
//
// A thread that mostly waits for its own transfers (the fiber scheduler's)
// can host the service instead: it then moves the transfers on itself while
// it waits, and the hand-off to the service thread and back, two thread
// wake-ups per request, disappears. The service thread drives only while
// the host has handed over.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

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

    // The calling OS thread becomes the host. From then on it must give the
    // service a turn (HostTurn or HostWait) whenever it waits, and hand over
    // before it blocks in any other way. `wake` is called when a command
    // arrives that the host's loop should take a turn for: from another
    // thread, or from the host itself outside a turn (a window's button that
    // cancels a transfer). A host that turns before every wait anyway may
    // ignore the second kind.
    void AttachHost(std::function<void()> wake);
    // Host thread: the service thread drives again from now on.
    void DetachHost();

    // What a host whose waiting is an event loop watches until its next turn.
    struct HostWatch {
        struct Socket {
            int fd;
            bool read;
            bool write;
        };
        std::vector<Socket> sockets;
        int waitMilliseconds = -1;  // the next turn at the latest; -1: none due
    };

    // Host thread: applies the commands queued so far, moves the transfers
    // on and reports those that ended; `watch`, when given, then says what
    // to wait for. False, doing nothing, while the service thread drives
    // (after HandOver, until it has nothing left).
    bool HostTurn(HostWatch* watch = nullptr);
    // Host thread: takes a turn, then, unless `woken` says that turn gave the
    // host something to do, waits up to `milliseconds` for the transfers'
    // sockets, a command or WakeHost, and takes another turn. False, without
    // waiting, while the service thread drives.
    bool HostWait(int milliseconds, const std::function<bool()>& woken);
    // Host thread: the same, for a host that has other work than waiting (an
    // event loop): false, after the turn and without waiting, when no
    // transfer runs then.
    bool HostWaitWhileRunning(int milliseconds, const std::function<bool()>& woken);
    // Any thread: ends a HostWait now.
    void WakeHost();
    // Host thread: the service thread drives until nothing is left to do,
    // for a host that must block outside HostWait. Any other thread: nothing.
    void HandOver();

private:
    class Worker;
    std::unique_ptr<Worker> worker_;
};

}  // namespace net
