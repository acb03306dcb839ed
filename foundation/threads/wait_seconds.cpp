#include "foundation/threads/wait_seconds.h"

#include <chrono>

#include "foundation/threads/thread.h"
#include "foundation/threads/thread_scheduler.h"
#include "foundation/threads/wake_token.h"

void WaitSeconds(std::uint32_t seconds)
{
    if (seconds == 0) return;
    const auto deadline = CThread::Clock::now() + std::chrono::seconds(seconds);
    if (CThread::Current()) {
        // A token nobody signals: the wait ends at the deadline or on a Wake.
        CWakeToken never;
        never.Wait(deadline);
        return;
    }
    CThreadScheduler::RunUntil([] { return false; }, deadline);
}
