#include "app/framework/cleanup.h"

#include <algorithm>
#include <chrono>
#include <vector>

#include "foundation/threads/thread.h"
#include "foundation/threads/thread_scheduler.h"

namespace {

std::vector<CCleanupObject*>& Scheduled()
{
    static std::vector<CCleanupObject*> list;
    return list;
}

std::function<void()>& WakeHook()
{
    static std::function<void()> hook;
    return hook;
}

std::vector<std::function<void()>>& AfterYieldHooks()
{
    static std::vector<std::function<void()>> hooks;
    return hooks;
}

long long NowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

CCleanupObject::~CCleanupObject() { std::erase(Scheduled(), this); }

void CCleanupObject::ScheduleCleanup()
{
    if (IsScheduledForCleanup()) return;
    Scheduled().push_back(this);
    if (WakeHook()) WakeHook()();
}

bool CCleanupObject::IsScheduledForCleanup() const
{
    const auto& list = Scheduled();
    return std::find(list.begin(), list.end(), this) != list.end();
}

std::size_t DeleteScheduledObjects()
{
    // Only what was scheduled before this pass: a destructor that schedules
    // another object adds it behind `count`, for the next pass. A destructor
    // that deletes a listed object takes it off the list itself.
    std::size_t count = Scheduled().size();
    std::size_t deleted = 0;
    while (count > 0 && !Scheduled().empty()) {
        CCleanupObject* object = Scheduled().front();
        Scheduled().erase(Scheduled().begin());
        --count;
        delete object;
        ++deleted;
        count = std::min(count, Scheduled().size());
    }
    return deleted;
}

std::size_t CountScheduledObjects() { return Scheduled().size(); }

void SetCleanupWakeHook(std::function<void()> hook) { WakeHook() = std::move(hook); }

void CCleanupAttachment::ExecuteSelf(MessageT, void*) { DeleteScheduledObjects(); }

CYieldAttachment::CYieldAttachment(int intervalMs) : CAttachment(kMsgEvent, true), mInterval(intervalMs) {}

void CYieldAttachment::AddAfterYieldHook(std::function<void()> hook) { AfterYieldHooks().push_back(std::move(hook)); }

void CYieldAttachment::ExecuteSelf(MessageT, void*)
{
    // Never from a fiber: the scheduler's passes run outside any thread.
    if (CThread::Current() == nullptr) {
        if (mInterval < 0) {
            CThreadScheduler::RunOnce();
        } else {
            long long now = NowMs();
            do {
                CThreadScheduler::RunOnce();
                now = NowMs();
            } while (now <= mNextTime && CThreadScheduler::HasReadyThreads());
            mNextTime = now + mInterval;
        }
    }
    for (const auto& hook : AfterYieldHooks()) hook();
}
