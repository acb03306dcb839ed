// CThread: the program's cooperative threads.
//
// Each CThread is a fiber on the GUI's OS thread; threads switch only where
// they yield (Yield, CheckStop, Suspend, Sleep, waits on a CWakeToken,
// RunOnWorker), so the objects they share need no locks. CThreadScheduler runs the ready
// threads in creation order.
//
// Life of a thread:
//   - Construction appends it to the list of live threads, not yet started:
//     it runs once Resume is called.
//   - Run is the body. A stop request makes the next CheckStop on the thread
//     throw CStopException once; an exception that escapes Run ends the
//     thread (a stop quietly, anything else with a line on stderr).
//   - When Run has returned the thread is finished. A thread made with
//     EWhenFinished::kDeleteSelf (the default, for threads allocated with
//     new) is then deleted by the scheduler; one made with kKeep stays in the
//     list until its owner deletes it.
//   - Deleting a thread removes exactly its own entry from the list. A thread
//     may be deleted before it starts or after it finished, never while Run
//     is under way (that aborts: its frames could not be unwound).
//
// Everything here is for the scheduler's OS thread only; other OS threads
// reach fibers through CWakeToken.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

#include "foundation/containers/pooled_list.h"

class CFiber;

class CThread {
public:
    using Clock = std::chrono::steady_clock;

    // Thrown by CheckStop after a stop request. Not a CFrameworkException, nor
    // a std::exception, so general handlers in a thread body cannot swallow
    // it; only Run's own handler (or catch (...)) sees it.
    class CStopException {
    public:
        [[nodiscard]] std::int32_t GetErrorCode() const noexcept { return -1; }
        const char* GetErrorString() const noexcept { return "CStopException"; }
    };

    enum class EWhenFinished { kDeleteSelf, kKeep };

    static constexpr std::size_t kStackBytes = 1024000;

    explicit CThread(EWhenFinished whenFinished = EWhenFinished::kDeleteSelf);
    virtual ~CThread();
    CThread(const CThread&) = delete;
    CThread& operator=(const CThread&) = delete;

    // A suspended thread is not scheduled until resumed. Suspending the
    // running thread switches away at once. Resume also starts a thread that
    // has not run yet.
    virtual void Suspend();
    virtual void Resume();

    // A sleeping thread is not scheduled until the deadline or a Wake; it
    // costs no CPU meanwhile. On the running thread the call returns when the
    // sleep ends; on another thread it only keeps that thread from running.
    virtual void SleepUntil(Clock::time_point deadline);
    void Sleep(std::chrono::milliseconds duration) { SleepUntil(Clock::now() + duration); }
    // Ends a sleep (or a wait on a CWakeToken) early.
    virtual void Wake();

    // Sets the stop request; does not wake or resume the thread: it sees the
    // request at its next stop check.
    void RequestStop() { mStopRequested = true; }
    // Yields; then, on the thread itself, throws CStopException once when a
    // stop was requested. Later calls only yield. Called for a thread other
    // than the running one it only yields.
    void CheckStop();

    [[nodiscard]] bool IsStopRequested() const { return mStopRequested; }
    [[nodiscard]] bool IsStopping() const { return mStopping; }
    [[nodiscard]] bool HasStarted() const;
    [[nodiscard]] bool IsFinished() const { return mFinished; }
    [[nodiscard]] bool IsSuspended() const { return mSuspended; }
    [[nodiscard]] bool IsSleeping() const { return mWaiting; }
    // Not finished, not suspended, not sleeping: the next pass runs it.
    [[nodiscard]] bool IsReady() const { return !mFinished && !mSuspended && !mWaiting; }
    EWhenFinished WhenFinished() const { return mWhenFinished; }

    // On a thread: lets the other ready threads run, then continues. Outside
    // any thread: runs one pass of the ready threads (CThreadScheduler::RunOnce).
    static void Yield();
    // The running thread, or null outside any thread.
    static CThread* Current();
    // The live threads in creation order. Walk it with CThreadListWalk when
    // the walk may yield or delete threads.
    static const TPooledList<CThread*>& LiveThreads();

protected:
    // The thread body. Its result is ignored.
    virtual void* Run() = 0;

private:
    friend class CThreadScheduler;
    friend class CWakeToken;

    void Body();
    // Marks the running thread waiting (until `wakeAt`, or a wake when none)
    // and switches to the scheduler.
    void WaitOnCurrent(std::optional<Clock::time_point> wakeAt);
    void EndWait();

    bool mStopRequested = false;
    bool mStopping = false;
    EWhenFinished mWhenFinished;
    bool mSuspended = true;
    bool mWaiting = false;
    bool mFinished = false;
    std::optional<Clock::time_point> mWakeAt;
    // Counts Wake calls, so a waiter can tell a wake from a stray signal.
    std::uint64_t mWakeCount = 0;
    std::unique_ptr<CFiber> mFiber;
};
