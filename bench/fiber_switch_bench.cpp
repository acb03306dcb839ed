// Cost of a cooperative switch: a raw fiber switch pair, and a yield round
// trip between two threads through the scheduler.
#include <benchmark/benchmark.h>

#include "foundation/threads/thread.h"
#include "foundation/threads/thread_scheduler.h"
#include "platform/fibers/fiber.h"

namespace {

// Host -> fiber -> host: two switches per iteration.
void BM_FiberSwitchInAndOut(benchmark::State& state)
{
    bool stop = false;
    CFiber fiber([&stop] {
        while (!stop) CFiber::SwitchOut();
    });
    for (auto _ : state) fiber.SwitchIn();
    stop = true;
    fiber.SwitchIn();
    // Seconds per switch, printed with an SI prefix ("45n" is 45 ns).
    state.counters["per_switch"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * 2,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_FiberSwitchInAndOut);

class CYieldingThread : public CThread {
public:
    explicit CYieldingThread(const bool& stop) : CThread(EWhenFinished::kKeep), mStop(stop) {}

protected:
    void* Run() override
    {
        while (!mStop) CThread::Yield();
        return nullptr;
    }

private:
    const bool& mStop;
};

// One scheduler pass: A yields, B runs and yields, A is resumed next pass.
// Four switches (A in and out, B in and out) per round trip.
void BM_ThreadYieldRoundTrip(benchmark::State& state)
{
    bool stop = false;
    CYieldingThread first(stop);
    CYieldingThread second(stop);
    first.Resume();
    second.Resume();
    for (auto _ : state) CThreadScheduler::RunOnce();
    stop = true;
    CThreadScheduler::RunUntilIdle();
    // Seconds per switch, printed with an SI prefix ("45n" is 45 ns).
    state.counters["per_switch"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * 4,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ThreadYieldRoundTrip);

} // namespace
