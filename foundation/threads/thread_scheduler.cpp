#include "foundation/threads/thread_scheduler.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <utility>
#include <vector>

#include "foundation/threads/thread_list_walk.h"
#include "foundation/threads/wake_token_state.h"
#include "platform/fibers/fiber.h"

namespace {

// What other OS threads touch. Never destroyed, so a worker that finishes
// during process exit still finds it.
struct SCrossThreadState {
    std::mutex mutex;
    std::condition_variable wakeUp;
    std::vector<std::shared_ptr<SWakeTokenState>> signalledTokens; // guarded by mutex
    std::atomic<bool> anySignalled{false};

    std::mutex hookMutex;
    std::shared_ptr<const std::function<void()>> readyHook; // guarded by hookMutex
    std::shared_ptr<const std::function<void()>> idleWake;  // guarded by hookMutex
};

// The scheduler's thread only.
std::function<bool(std::optional<CThreadScheduler::Clock::time_point>)>& IdleWait()
{
    static auto* wait = new std::function<bool(std::optional<CThreadScheduler::Clock::time_point>)>;
    return *wait;
}

SCrossThreadState& Shared()
{
    static SCrossThreadState* state = new SCrossThreadState;
    return *state;
}

void CallReadyHook()
{
    SCrossThreadState& shared = Shared();
    std::shared_ptr<const std::function<void()>> hook;
    std::shared_ptr<const std::function<void()>> idleWake;
    {
        std::lock_guard lock(shared.hookMutex);
        hook = shared.readyHook;
        idleWake = shared.idleWake;
    }
    if (idleWake && *idleWake) (*idleWake)();
    if (hook && *hook) (*hook)();
}

void CheckSchedulerContext()
{
    static const std::thread::id owner = std::this_thread::get_id();
    if (std::this_thread::get_id() != owner)
        throw std::logic_error("the thread scheduler runs on one OS thread only");
    if (CFiber::Current())
        throw std::logic_error("the thread scheduler cannot run on a fiber");
}

} // namespace

int CThreadScheduler::RunOnce()
{
    CheckSchedulerContext();
    DrainSignalledTokens();
    const Clock::time_point now = Clock::now();
    int ran = 0;
    CThreadListWalk walk;
    while (CThread* thread = walk.Next()) {
        if (thread->mWaiting && thread->mWakeAt && *thread->mWakeAt <= now) thread->EndWait();
        if (!thread->IsReady()) continue;
        RunSlice(*thread);
        ++ran;
    }
    return ran;
}

void CThreadScheduler::RunSlice(CThread& thread)
{
    CThread* outer = sRunning;
    sRunning = &thread;
    try {
        thread.mFiber->SwitchIn();
    } catch (...) {
        sRunning = outer;
        throw;
    }
    sRunning = outer;
    if (!thread.mFiber->IsFinished()) return;
    thread.mFinished = true;
    if (thread.mWhenFinished == CThread::EWhenFinished::kDeleteSelf) delete &thread;
}

void CThreadScheduler::RunUntilIdle()
{
    do {
        RunOnce();
    } while (HasReadyThreads());
}

bool CThreadScheduler::RunUntil(const std::function<bool()>& done, Clock::time_point deadline)
{
    CheckSchedulerContext();
    for (;;) {
        if (done()) return true;
        RunOnce();
        if (done()) return true;
        if (Clock::now() >= deadline) return false;
        if (HasReadyThreads()) continue;
        std::optional<Clock::time_point> until;
        if (deadline != Clock::time_point::max()) until = deadline;
        if (std::optional<Clock::time_point> next = NextDeadline(); next && (!until || *next < *until))
            until = next;
        WaitForSignal(until);
    }
}

bool CThreadScheduler::HasReadyThreads()
{
    if (Shared().anySignalled.load(std::memory_order_acquire)) return true;
    const Clock::time_point now = Clock::now();
    for (const CThread* thread : CThread::LiveThreads()) {
        if (thread->IsReady()) return true;
        if (thread->mWaiting && thread->mWakeAt && *thread->mWakeAt <= now && !thread->mSuspended &&
            !thread->mFinished)
            return true;
    }
    return false;
}

std::optional<CThreadScheduler::Clock::time_point> CThreadScheduler::NextDeadline()
{
    std::optional<Clock::time_point> earliest;
    for (const CThread* thread : CThread::LiveThreads()) {
        if (!thread->mWaiting || !thread->mWakeAt || thread->mSuspended || thread->mFinished) continue;
        if (!earliest || *thread->mWakeAt < *earliest) earliest = thread->mWakeAt;
    }
    return earliest;
}

void CThreadScheduler::SetReadyHook(std::function<void()> hook)
{
    auto shared = std::make_shared<const std::function<void()>>(std::move(hook));
    std::lock_guard lock(Shared().hookMutex);
    Shared().readyHook = std::move(shared);
}

void CThreadScheduler::SetIdleWait(std::function<bool(std::optional<Clock::time_point>)> wait,
                                   std::function<void()> wake)
{
    CheckSchedulerContext();
    IdleWait() = std::move(wait);
    auto shared = std::make_shared<const std::function<void()>>(std::move(wake));
    std::lock_guard lock(Shared().hookMutex);
    Shared().idleWake = std::move(shared);
}

void CThreadScheduler::ThreadBecameReady()
{
    CallReadyHook();
}

void CThreadScheduler::DrainSignalledTokens()
{
    SCrossThreadState& shared = Shared();
    if (!shared.anySignalled.load(std::memory_order_acquire)) return;
    std::vector<std::shared_ptr<SWakeTokenState>> tokens;
    {
        std::lock_guard lock(shared.mutex);
        tokens.swap(shared.signalledTokens);
        shared.anySignalled.store(false, std::memory_order_relaxed);
    }
    for (const auto& token : tokens)
        if (CThread* waiter = token->waiter; waiter && waiter->mWaiting) waiter->EndWait();
}

void CThreadScheduler::WaitForSignal(std::optional<Clock::time_point> until)
{
    SCrossThreadState& shared = Shared();
    if (const auto& idleWait = IdleWait(); idleWait && idleWait(until)) return;
    std::unique_lock lock(shared.mutex);
    auto woken = [&shared] { return !shared.signalledTokens.empty(); };
    if (until) shared.wakeUp.wait_until(lock, *until, woken);
    else shared.wakeUp.wait(lock, woken);
}

// Called by CWakeToken::Signal on any OS thread.
void PostSignalledToken(const std::shared_ptr<SWakeTokenState>& token)
{
    SCrossThreadState& shared = Shared();
    {
        std::lock_guard lock(shared.mutex);
        shared.signalledTokens.push_back(token);
        shared.anySignalled.store(true, std::memory_order_release);
    }
    shared.wakeUp.notify_all();
    CallReadyHook();
}
