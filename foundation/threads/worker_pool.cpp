#include "foundation/threads/worker_pool.h"

#include <exception>
#include <thread>
#include <utility>

#include "foundation/threads/wake_token.h"

CWorkerPool& CWorkerPool::Shared()
{
    // Workers may still be waiting for jobs when the process exits.
    static CWorkerPool* pool = new CWorkerPool;
    return *pool;
}

void CWorkerPool::Submit(std::function<void()> job)
{
    {
        std::lock_guard lock(mMutex);
        mJobs.push_back(std::move(job));
        if (mIdle + mStarting < mJobs.size()) {
            std::thread(&CWorkerPool::WorkerLoop, this).detach();
            ++mStarting;
            ++mWorkers;
        }
    }
    mJobQueued.notify_one();
}

void CWorkerPool::WorkerLoop()
{
    std::unique_lock lock(mMutex);
    --mStarting;
    for (;;) {
        ++mIdle;
        mJobQueued.wait(lock, [this] { return !mJobs.empty(); });
        --mIdle;
        std::function<void()> job = std::move(mJobs.front());
        mJobs.pop_front();
        lock.unlock();
        job();
        job = nullptr;
        lock.lock();
    }
}

void RunOnWorker(std::function<void()> job)
{
    CWakeToken done;
    std::exception_ptr failure;
    CWorkerPool::Shared().Submit([&job, &failure, done] {
        try {
            job();
        } catch (...) {
            failure = std::current_exception();
        }
        // The caller's frame may be gone once this signal is seen.
        done.Signal();
    });
    while (!done.Wait()) {
    }
    if (failure) std::rethrow_exception(failure);
}
