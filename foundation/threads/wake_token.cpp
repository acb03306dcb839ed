#include "foundation/threads/wake_token.h"

#include <stdexcept>

#include "foundation/threads/thread_scheduler.h"
#include "foundation/threads/wake_token_state.h"

CWakeToken::CWakeToken() : mState(std::make_shared<SWakeTokenState>()) {}

void CWakeToken::Signal() const
{
    {
        std::lock_guard lock(mState->mutex);
        if (mState->signalled) return;
        mState->signalled = true;
    }
    PostSignalledToken(mState);
}

bool CWakeToken::IsSignalled() const
{
    std::lock_guard lock(mState->mutex);
    return mState->signalled;
}

bool CWakeToken::Consume() const
{
    std::lock_guard lock(mState->mutex);
    const bool was = mState->signalled;
    mState->signalled = false;
    return was;
}

bool CWakeToken::Wait(std::optional<CThread::Clock::time_point> deadline) const
{
    CThread* self = CThread::Current();
    if (!self) {
        CThreadScheduler::RunUntil([this] { return IsSignalled(); },
                                   deadline.value_or(CThread::Clock::time_point::max()));
        return Consume();
    }
    if (mState->waiter && mState->waiter != self)
        throw std::logic_error("two threads wait on one wake token");
    for (;;) {
        if (Consume()) return true;
        if (deadline && CThread::Clock::now() >= *deadline) return false;
        const std::uint64_t wakes = self->mWakeCount;
        mState->waiter = self;
        self->WaitOnCurrent(deadline);
        mState->waiter = nullptr;
        // A signal consumed earlier may still sit in the scheduler's queue and
        // end this wait without a new signal: wait again unless woken on purpose.
        if (self->mWakeCount != wakes) return Consume();
    }
}
