// Real OS threads for blocking work (a transfer, DNS, a child process, a
// socket), which must never run on a fiber. Workers are started as jobs need
// them and kept for the life of the process.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>

class CWorkerPool {
public:
    // The process's pool; it is never destroyed.
    static CWorkerPool& Shared();

    // Any OS thread: queues `job`, starting a worker when none is idle. A job
    // must not throw.
    void Submit(std::function<void()> job);

private:
    CWorkerPool() = default;
    void WorkerLoop();

    mutable std::mutex mMutex;
    std::condition_variable mJobQueued;
    std::deque<std::function<void()>> mJobs;
    std::size_t mWorkers = 0;
    std::size_t mIdle = 0;     // waiting for a job
    std::size_t mStarting = 0; // started, not yet waiting
};

// Runs `job` on a worker and returns when it has ended, rethrowing what it
// threw. The calling CThread sleeps meanwhile (outside any thread the
// scheduler runs meanwhile). The wait cannot be cut short, since the job may
// use the caller's data: bound the job's time (time-outs, a cancel flag).
void RunOnWorker(std::function<void()> job);
