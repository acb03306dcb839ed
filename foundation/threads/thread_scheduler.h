// Runs the ready CThreads, each until it yields, in creation order.
//
// Without Qt (tests, benchmarks, the headless crawl driver) RunUntil drives
// everything: it runs passes while threads are ready and otherwise blocks,
// using no CPU, until the nearest sleep deadline or until another OS thread
// signals a CWakeToken.
//
// An event loop drives it instead with RunOnce: run a pass while
// HasReadyThreads(), arm a timer for NextDeadline(), and install a ready hook
// that posts an event to the loop whenever a thread becomes ready.
//
// The scheduler belongs to one OS thread (the first that runs it); its loops
// never run on a fiber.
#pragma once

#include <functional>
#include <optional>

#include "foundation/threads/thread.h"

class CThreadScheduler {
public:
    using Clock = CThread::Clock;

    // One pass: every thread that is ready when the pass reaches it runs until
    // it yields. Never blocks. Returns how many threads ran.
    static int RunOnce();

    // Passes until no thread is ready; does not wait for sleeping threads.
    static void RunUntilIdle();

    // Passes until `done` returns true (true) or `deadline` passes (false),
    // blocking while no thread is ready. `done` is checked after every pass
    // and whenever the loop wakes; a condition that another OS thread changes
    // must be followed by a CWakeToken signal.
    static bool RunUntil(const std::function<bool()>& done,
                         Clock::time_point deadline = Clock::time_point::max());

    // True when the next pass would run a thread (counting sleeps that have
    // run out and wake tokens that were signalled).
    [[nodiscard]] static bool HasReadyThreads();
    // The earliest wake-up time of a sleeping, unsuspended thread.
    [[nodiscard]] static std::optional<Clock::time_point> NextDeadline();

    // `hook` is called whenever a thread becomes ready other than by a pass of
    // the scheduler (Resume, Wake, a signalled CWakeToken), from
    // whatever OS thread caused it; it must be thread-safe and quick.
    static void SetReadyHook(std::function<void()> hook);

    // Lets the scheduler's thread do useful waiting: when nothing is ready,
    // `wait` is called with the wait's deadline instead of sleeping; it
    // returns false when it cannot wait now (the scheduler then sleeps as
    // usual). `wake` ends such a wait and is called from whatever OS thread
    // makes a thread ready. Both null: the plain sleep again.
    static void SetIdleWait(std::function<bool(std::optional<Clock::time_point>)> wait,
                            std::function<void()> wake);

private:
    friend class CThread;
    friend class CWakeToken;

    static void RunSlice(CThread& thread);
    static void DrainSignalledTokens();
    static void WaitForSignal(std::optional<Clock::time_point> until);
    static void ThreadBecameReady();

    static inline CThread* sRunning = nullptr;
};
