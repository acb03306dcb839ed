#include "app/framework/scheduler_driver.h"

#include "app/framework/posted_call.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include "foundation/threads/thread.h"
#include "foundation/threads/thread_scheduler.h"

namespace {

struct SAtomicStats {
    std::atomic<std::uint64_t> passes{0};
    std::atomic<std::uint64_t> threadsRun{0};
    std::atomic<std::uint64_t> idlePasses{0};
    std::atomic<std::uint64_t> timerArms{0};
    std::atomic<std::uint64_t> wakePosts{0};
};

SAtomicStats gStats;

constexpr std::chrono::milliseconds kPassBudget{4};

class CDriver {
public:
    CDriver() : mPass([this] { RunPass(); })
    {
        mTimer.setSingleShot(true);
        mTimer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&mTimer, &QTimer::timeout, &mPass, [this] { RunPass(); });
    }

    // Any OS thread; one pass event in flight at a time. False when held.
    bool PostPass()
    {
        if (Holding()) {
            mPassHeld = true;
            return false;
        }
        mPass.Post();
        return true;
    }

    void Hold() { ++mHolding; }
    bool Holding() const { return std::this_thread::get_id() == mGuiThread && mHolding > 0; }
    void Release()
    {
        if (--mHolding > 0 || !mPassHeld) return;
        mPassHeld = false;
        RunPass();
    }

    // Holds posts for a pass's life; what it held is Reschedule's.
    class CHeld {
    public:
        explicit CHeld(CDriver& driver) : mDriver(driver) { mDriver.Hold(); }
        ~CHeld()
        {
            --mDriver.mHolding;
            mDriver.mPassHeld = false;
        }
        CHeld(const CHeld&) = delete;
        CHeld& operator=(const CHeld&) = delete;

    private:
        CDriver& mDriver;
    };

    std::function<void()> mAfterPass;
    std::function<void()> mPassEndWork;
    std::function<bool(CThread::Clock::time_point)> mPassWait;

private:
    void RunPass()
    {
        // Passes never run on a fiber (a fiber never runs an event loop).
        if (CThread::Current() != nullptr) return;
        {
            // A fiber that wakes another, or the downloads' turn that ends a
            // transfer, needs no pass of its own: this one goes on or
            // Reschedule sees it.
            CHeld held(*this);
            // Fibers that yield go on within one pass for a moment: a pass per
            // yield costs the loop a wake-up each (a crawl yields many times per
            // URL), while input, timers and drawing wait at most kPassBudget.
            const auto until = CThread::Clock::now() + kPassBudget;
            int ran = 0;
            do {
                ran += CThreadScheduler::RunOnce();
                while (mPassWait && !CThreadScheduler::HasReadyThreads() && mPassWait(until)) {
                }
            } while (CThreadScheduler::HasReadyThreads() && CThread::Clock::now() < until);
            ++gStats.passes;
            gStats.threadsRun += static_cast<std::uint64_t>(ran);
            if (ran == 0) ++gStats.idlePasses;
            if (mPassEndWork) mPassEndWork();
        }
        Reschedule();
        if (mAfterPass) mAfterPass();
    }

    void Reschedule()
    {
        if (CThreadScheduler::HasReadyThreads()) {
            mTimer.stop();
            PostPass();
            return;
        }
        std::optional<CThread::Clock::time_point> deadline = CThreadScheduler::NextDeadline();
        if (!deadline) {
            mTimer.stop();
            return;
        }
        auto wait = std::chrono::ceil<std::chrono::milliseconds>(*deadline - CThread::Clock::now());
        ++gStats.timerArms;
        mTimer.start(static_cast<int>(std::clamp<long long>(wait.count(), 0, 24LL * 3600 * 1000)));
    }

    CPostedCall mPass;
    QTimer mTimer;
    const std::thread::id mGuiThread = std::this_thread::get_id();
    // GUI thread only.
    int mHolding = 0;
    bool mPassHeld = false;
};

std::mutex gDriverMutex;
CDriver* gDriver = nullptr;

}  // namespace

void CSchedulerDriver::Install()
{
    if (gDriver != nullptr) return;
    {
        std::lock_guard lock(gDriverMutex);
        gDriver = new CDriver;
    }
    CThreadScheduler::SetReadyHook([] {
        std::lock_guard lock(gDriverMutex);
        if (gDriver != nullptr && gDriver->PostPass()) ++gStats.wakePosts;
    });
    Poke();
}

void CSchedulerDriver::Uninstall()
{
    CThreadScheduler::SetReadyHook(nullptr);
    std::lock_guard lock(gDriverMutex);
    delete gDriver;
    gDriver = nullptr;
}

CSchedulerDriver::SStats CSchedulerDriver::Stats()
{
    return {gStats.passes, gStats.threadsRun, gStats.idlePasses, gStats.timerArms, gStats.wakePosts};
}

void CSchedulerDriver::ResetStats()
{
    gStats.passes = 0;
    gStats.threadsRun = 0;
    gStats.idlePasses = 0;
    gStats.timerArms = 0;
    gStats.wakePosts = 0;
}

void CSchedulerDriver::Poke()
{
    std::lock_guard lock(gDriverMutex);
    if (gDriver != nullptr) gDriver->PostPass();
}

void CSchedulerDriver::SetAfterPassHook(std::function<void()> hook)
{
    if (gDriver != nullptr) gDriver->mAfterPass = std::move(hook);
}

bool CSchedulerDriver::PassPending()
{
    std::lock_guard lock(gDriverMutex);
    return gDriver != nullptr && gDriver->Holding();
}

CSchedulerDriver::CPassAfter::CPassAfter()
{
    if (gDriver != nullptr) gDriver->Hold();
}

CSchedulerDriver::CPassAfter::~CPassAfter()
{
    if (gDriver != nullptr) gDriver->Release();
}

void CSchedulerDriver::SetPassEndWork(std::function<void()> work)
{
    if (gDriver != nullptr) gDriver->mPassEndWork = std::move(work);
}

void CSchedulerDriver::SetPassWait(std::function<bool(std::chrono::steady_clock::time_point)> wait)
{
    if (gDriver != nullptr) gDriver->mPassWait = std::move(wait);
}
