#include "foundation/threads/stop_all_threads.h"

#include "foundation/threads/thread.h"
#include "foundation/threads/thread_list_walk.h"
#include "foundation/threads/thread_scheduler.h"
#include "platform/fibers/fiber.h"

namespace {

// Requests a stop of the unfinished threads (all of them, or only those not
// asked before), then resumes and wakes the same threads: a thread must find
// its request set when it next runs. Each thread is resumed and woken once,
// so threads that wait for a worker are not spun.
void AskToStop(bool onlyUnasked)
{
    TPooledList<CThread*> asked;
    {
        CThreadListWalk walk;
        while (CThread* thread = walk.Next()) {
            if (thread->IsFinished()) continue;
            if (onlyUnasked && thread->IsStopRequested()) continue;
            thread->RequestStop();
            asked.Append(thread);
        }
    }
    // Nothing between the walks yields, so every asked thread is still alive.
    for (CThread* thread : asked) {
        if (thread->IsSuspended()) thread->Resume();
        if (thread->IsSleeping()) thread->Wake();
    }
}

bool AllFinished()
{
    for (const CThread* thread : CThread::LiveThreads())
        if (!thread->IsFinished()) return false;
    return true;
}

} // namespace

bool StopAllThreads(std::chrono::milliseconds timeout)
{
    if (CFiber::Current()) return false;
    const auto deadline = CThread::Clock::now() + timeout;
    AskToStop(false);
    return CThreadScheduler::RunUntil(
        [] {
            AskToStop(true); // threads created while the others wind down
            return AllFinished();
        },
        deadline);
}
