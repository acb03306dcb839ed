#include "foundation/threads/thread.h"

#include <cstdio>
#include <cstdlib>
#include <exception>

#include "foundation/threads/thread_list_walk.h"
#include "foundation/threads/thread_scheduler.h"
#include "platform/fibers/fiber.h"

namespace {

TPooledList<CThread*>& ThreadList()
{
    static TPooledList<CThread*> list;
    return list;
}

} // namespace

CThread::CThread(EWhenFinished whenFinished)
    : mWhenFinished(whenFinished), mFiber(std::make_unique<CFiber>([this] { Body(); }, kStackBytes))
{
    ThreadList().Append(this);
}

CThread::~CThread()
{
    if (HasStarted() && !mFinished) {
        std::fputs("Tidewell: a thread was deleted while its body was still running\n", stderr);
        std::abort();
    }
    TPooledList<CThread*>& list = ThreadList();
    for (const auto* node = list.Head(); node; node = node->next) {
        if (node->element != this) continue;
        CThreadListWalk::ThreadLeaving(node);
        break;
    }
    list.Remove(this);
}

const TPooledList<CThread*>& CThread::LiveThreads()
{
    return ThreadList();
}

bool CThread::HasStarted() const
{
    return mFiber->IsStarted();
}

void CThread::Body()
{
    try {
        Run();
    } catch (const CStopException&) {
        // A stop ends the thread as if it had finished.
    } catch (const std::exception& error) {
        std::fprintf(stderr, "Tidewell: a thread ended with an uncaught exception: %s\n", error.what());
    } catch (...) {
        std::fputs("Tidewell: a thread ended with an uncaught exception\n", stderr);
    }
}

CThread* CThread::Current()
{
    return CThreadScheduler::sRunning;
}

void CThread::Yield()
{
    if (CFiber::Current()) CFiber::SwitchOut();
    else CThreadScheduler::RunOnce();
}

void CThread::CheckStop()
{
    Yield();
    if (this != Current()) return;
    if (mStopRequested && !mStopping) {
        mStopping = true;
        throw CStopException();
    }
}

void CThread::Suspend()
{
    if (mFinished) return;
    mSuspended = true;
    if (this == Current()) CFiber::SwitchOut();
}

void CThread::Resume()
{
    if (mFinished || !mSuspended) return;
    mSuspended = false;
    if (IsReady()) CThreadScheduler::ThreadBecameReady();
}

void CThread::SleepUntil(Clock::time_point deadline)
{
    if (mFinished) return;
    if (this == Current()) {
        WaitOnCurrent(deadline);
        return;
    }
    mWaiting = true;
    mWakeAt = deadline;
}

void CThread::Wake()
{
    ++mWakeCount;
    if (!mWaiting) return;
    EndWait();
    if (IsReady()) CThreadScheduler::ThreadBecameReady();
}

void CThread::WaitOnCurrent(std::optional<Clock::time_point> wakeAt)
{
    mWaiting = true;
    mWakeAt = wakeAt;
    CFiber::SwitchOut();
}

void CThread::EndWait()
{
    mWaiting = false;
    mWakeAt.reset();
}
