#include "engine/transfer/download_busy_flag.h"

#include <algorithm>
#include <deque>
#include <exception>

#include "foundation/threads/thread.h"
#include "foundation/threads/wake_token.h"

namespace {

struct SBusyFlag {
    const void* holder = nullptr;
    // One token per waiting thread, first come first served.
    std::deque<CWakeToken*> waiters;
};

SBusyFlag& Flag()
{
    static SBusyFlag flag;
    return flag;
}

// Keeps a waiter's token listed while it sleeps, and unlists it on every
// way out, a stop included.
class CQueuedWaiter {
public:
    CQueuedWaiter() : mUnwindingAtStart(std::uncaught_exceptions()) { Flag().waiters.push_back(&mToken); }
    ~CQueuedWaiter()
    {
        auto& waiters = Flag().waiters;
        waiters.erase(std::remove(waiters.begin(), waiters.end(), &mToken), waiters.end());
        // A waiter that leaves on a stop may have taken the wake-up meant
        // for the next one.
        const bool leavingOnStop = std::uncaught_exceptions() > mUnwindingAtStart;
        if (leavingOnStop && Flag().holder == nullptr && !waiters.empty()) waiters.front()->Signal();
    }
    CQueuedWaiter(const CQueuedWaiter&) = delete;
    CQueuedWaiter& operator=(const CQueuedWaiter&) = delete;

    void Wait() const { mToken.Wait(); }

private:
    int mUnwindingAtStart;
    CWakeToken mToken;
};

void StopIfRequested()
{
    CThread* self = CThread::Current();
    if (self != nullptr && self->IsStopRequested()) self->CheckStop();
}

}  // namespace

bool IsDownloadBusy()
{
    return Flag().holder != nullptr;
}

void TakeDownloadBusyFlag(const void* holder)
{
    SBusyFlag& flag = Flag();
    while (flag.holder != nullptr && flag.holder != holder) {
        StopIfRequested();
        CQueuedWaiter waiter;
        waiter.Wait();
        StopIfRequested();
    }
    StopIfRequested();
    flag.holder = holder;
}

void ReleaseDownloadBusyFlag(const void* holder)
{
    SBusyFlag& flag = Flag();
    if (holder == nullptr || flag.holder != holder) return;
    flag.holder = nullptr;
    if (!flag.waiters.empty()) flag.waiters.front()->Signal();
}
