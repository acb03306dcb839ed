#include "app/windows/grabber/time_thread.h"

#include <chrono>

#include "app/framework/pane.h"
#include "engine/crawl/elapsed_time.h"
#include "foundation/threads/thread_scheduler.h"

namespace {

using SystemClock = std::chrono::system_clock;

std::int64_t SecondsNow()
{
    return std::chrono::duration_cast<std::chrono::seconds>(SystemClock::now().time_since_epoch()).count();
}

// How long until the wall clock's next whole second.
std::chrono::nanoseconds UntilNextSecond()
{
    const auto sinceEpoch = SystemClock::now().time_since_epoch();
    const auto whole = std::chrono::duration_cast<std::chrono::seconds>(sinceEpoch);
    return whole + std::chrono::seconds(1) - sinceEpoch;
}

}  // namespace

CTimeThread::CTimeThread(CPane* pane) : CThread(EWhenFinished::kKeep), mPane(pane) {}

CTimeThread::~CTimeThread() = default;

void CTimeThread::Stop()
{
    RequestStop();
    Wake();
    if (!HasStarted()) return;
    while (!IsFinished()) CThreadScheduler::RunUntil([this] { return IsFinished(); },
                                                      CThreadScheduler::Clock::now() + std::chrono::seconds(1));
}

void* CTimeThread::Run()
{
    // Nothing is drawn until the clock moves on to the next second.
    std::int64_t shown = SecondsNow();
    try {
        for (;;) {
            // A few milliseconds past the boundary, so the new second is read.
            Sleep(std::chrono::duration_cast<std::chrono::milliseconds>(UntilNextSecond()) +
                  std::chrono::milliseconds(2));
            CheckStop();
            const std::int64_t now = SecondsNow();
            if (now != shown) {
                if (mPane != nullptr) mPane->SetDescriptor(TimeOfDayText(now));
                shown = now;
            }
        }
    } catch (const CStopException&) {
    }
    return nullptr;
}
