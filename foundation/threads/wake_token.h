// A wake-up that any OS thread can give a CThread waiting for it: a worker
// thread or a transfer callback calls Signal when its work is done, and the
// waiting thread becomes ready at once, without polling.
//
// Copies share one event, so hand a copy to the worker. Signals do not
// queue: several signals before a wait count as one. One thread waits on a
// token at a time.
#pragma once

#include <memory>
#include <optional>

#include "foundation/threads/thread.h"

struct SWakeTokenState;

class CWakeToken {
public:
    CWakeToken();

    // Any OS thread.
    void Signal() const;
    [[nodiscard]] bool IsSignalled() const;

    // Scheduler's OS thread. Waits until signalled and consumes the signal
    // (true), or until `deadline` or a CThread::Wake of the waiter (false). On
    // a thread it sleeps; outside any thread it runs the scheduler meanwhile.
    bool Wait(std::optional<CThread::Clock::time_point> deadline = std::nullopt) const;

private:
    [[nodiscard]] bool Consume() const;

    std::shared_ptr<SWakeTokenState> mState;
};
