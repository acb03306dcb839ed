#include <gtest/gtest.h>

#include <time.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "foundation/threads/stop_all_threads.h"
#include "foundation/threads/thread.h"
#include "foundation/threads/thread_scheduler.h"
#include "foundation/threads/wait_seconds.h"
#include "foundation/threads/wake_token.h"
#include "foundation/threads/worker_pool.h"
#include "tests/threads/lambda_thread.h"

namespace {

using Clock = CThread::Clock;
using std::chrono::milliseconds;

double ProcessCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

class SleepAndWakeTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        CThreadScheduler::SetReadyHook(nullptr);
        EXPECT_TRUE(CThread::LiveThreads().IsEmpty());
    }
};

// A thread waiting one second must leave the process idle meanwhile.
TEST_F(SleepAndWakeTest, WaitingASecondCostsNoCpu)
{
    CLambdaThread sleeper([](CLambdaThread&) { WaitSeconds(1); });
    sleeper.Resume();
    const auto start = Clock::now();
    const double cpuBefore = ProcessCpuSeconds();
    ASSERT_TRUE(CThreadScheduler::RunUntil([&] { return sleeper.IsFinished(); }, start + std::chrono::seconds(5)));
    const double cpu = ProcessCpuSeconds() - cpuBefore;
    EXPECT_GE(SecondsSince(start), 1.0);
    EXPECT_LT(SecondsSince(start), 4.0);
    EXPECT_LT(cpu, 0.050);
}

TEST_F(SleepAndWakeTest, WaitSecondsOfZeroReturnsAtOnce)
{
    int otherRuns = 0;
    CLambdaThread other([&](CLambdaThread&) { ++otherRuns; });
    other.Resume();
    const auto start = Clock::now();
    WaitSeconds(0);
    EXPECT_LT(SecondsSince(start), 0.5);
    EXPECT_EQ(otherRuns, 0); // not even a yield
    CThreadScheduler::RunUntilIdle();
}

TEST_F(SleepAndWakeTest, WaitSecondsOutsideAThreadRunsTheThreads)
{
    int steps = 0;
    CLambdaThread counter([&](CLambdaThread& self) {
        for (int i = 0; i < 3; ++i) {
            ++steps;
            self.Sleep(milliseconds(10));
        }
    });
    counter.Resume();
    WaitSeconds(1);
    EXPECT_EQ(steps, 3);
    EXPECT_TRUE(counter.IsFinished());
}

TEST_F(SleepAndWakeTest, SleepingThreadIsScheduledAgainAtItsDeadline)
{
    CLambdaThread sleeper([](CLambdaThread& self) { self.Sleep(milliseconds(50)); });
    sleeper.Resume();
    CThreadScheduler::RunOnce();
    EXPECT_TRUE(sleeper.IsSleeping());
    EXPECT_FALSE(CThreadScheduler::HasReadyThreads());
    const auto deadline = CThreadScheduler::NextDeadline();
    ASSERT_TRUE(deadline.has_value());
    EXPECT_GT(*deadline, Clock::now());
    std::this_thread::sleep_until(*deadline);
    EXPECT_TRUE(CThreadScheduler::HasReadyThreads());
    CThreadScheduler::RunOnce();
    EXPECT_TRUE(sleeper.IsFinished());
}

TEST_F(SleepAndWakeTest, WakeEndsASleepEarly)
{
    CLambdaThread sleeper([](CLambdaThread&) { WaitSeconds(60); });
    sleeper.Resume();
    CThreadScheduler::RunOnce();
    ASSERT_TRUE(sleeper.IsSleeping());
    std::atomic<int> hookCalls{0};
    CThreadScheduler::SetReadyHook([&] { ++hookCalls; });
    sleeper.Wake();
    EXPECT_EQ(hookCalls, 1);
    CThreadScheduler::RunOnce();
    EXPECT_TRUE(sleeper.IsFinished());
}

// A worker's signal makes the waiting thread ready at once: the blocked loop
// wakes, and an event loop's hook hears of it from the worker's OS thread.
TEST_F(SleepAndWakeTest, WorkerSignalWakesTheWaitingThreadPromptly)
{
    CWakeToken token;
    Clock::time_point signalledAt{};
    Clock::time_point resumedAt{};
    std::atomic<bool> hookFromWorker{false};
    const auto mainId = std::this_thread::get_id();
    CThreadScheduler::SetReadyHook([&] {
        if (std::this_thread::get_id() != mainId) hookFromWorker = true;
    });
    CLambdaThread waiter([&](CLambdaThread&) {
        EXPECT_TRUE(token.Wait());
        resumedAt = Clock::now();
    });
    waiter.Resume();
    std::thread worker([&] {
        std::this_thread::sleep_for(milliseconds(100));
        signalledAt = Clock::now();
        token.Signal();
    });
    const double cpuBefore = ProcessCpuSeconds();
    const bool done = CThreadScheduler::RunUntil([&] { return waiter.IsFinished(); },
                                                 Clock::now() + std::chrono::seconds(5));
    const double cpu = ProcessCpuSeconds() - cpuBefore;
    worker.join();
    ASSERT_TRUE(done);
    EXPECT_LT(std::chrono::duration<double>(resumedAt - signalledAt).count(), 0.25);
    EXPECT_TRUE(hookFromWorker);
    EXPECT_LT(cpu, 0.050); // blocked, not polling, while the worker slept
}

TEST_F(SleepAndWakeTest, TokenWaitTimesOutWithoutASignal)
{
    CWakeToken token;
    bool result = true;
    CLambdaThread waiter([&](CLambdaThread&) { result = token.Wait(Clock::now() + milliseconds(30)); });
    waiter.Resume();
    const auto start = Clock::now();
    CThreadScheduler::RunUntil([&] { return waiter.IsFinished(); });
    EXPECT_FALSE(result);
    EXPECT_GE(SecondsSince(start), 0.030);
}

TEST_F(SleepAndWakeTest, RunOnWorkerRunsOffTheFiberAndLetsOthersRun)
{
    std::thread::id jobThread;
    int othersSteps = 0;
    std::string failure;
    CLambdaThread caller([&](CLambdaThread&) {
        RunOnWorker([&] {
            jobThread = std::this_thread::get_id();
            std::this_thread::sleep_for(milliseconds(50));
        });
        try {
            RunOnWorker([] { throw std::runtime_error("job failed"); });
        } catch (const std::runtime_error& error) {
            failure = error.what();
        }
    });
    CLambdaThread other([&](CLambdaThread& self) {
        for (int i = 0; i < 3; ++i) {
            ++othersSteps;
            self.Sleep(milliseconds(5));
        }
    });
    caller.Resume();
    other.Resume();
    ASSERT_TRUE(CThreadScheduler::RunUntil([&] { return caller.IsFinished() && other.IsFinished(); },
                                           Clock::now() + std::chrono::seconds(5)));
    EXPECT_NE(jobThread, std::this_thread::get_id());
    EXPECT_EQ(othersSteps, 3);
    EXPECT_EQ(failure, "job failed");
}

// Threads in every state must end when the application quits.
TEST_F(SleepAndWakeTest, StopAllThreadsEndsThreadsInEveryState)
{
    std::vector<std::string> ends;
    auto stopAware = [&ends](const char* name) {
        return [&ends, name](CLambdaThread& self) {
            try {
                for (;;) self.CheckStop();
            } catch (const CThread::CStopException&) {
                ends.push_back(name);
            }
        };
    };
    auto* neverStarted = new CLambdaThread(stopAware("never started"), CThread::EWhenFinished::kDeleteSelf);
    auto* suspended = new CLambdaThread(
        [&](CLambdaThread& self) {
            self.Suspend();
            stopAware("suspended")(self);
        },
        CThread::EWhenFinished::kDeleteSelf);
    auto* sleeping = new CLambdaThread(
        [&](CLambdaThread& self) {
            WaitSeconds(3600);
            stopAware("sleeping")(self);
        },
        CThread::EWhenFinished::kDeleteSelf);
    auto* running = new CLambdaThread(stopAware("running"), CThread::EWhenFinished::kDeleteSelf);
    (void)neverStarted;
    suspended->Resume();
    sleeping->Resume();
    running->Resume();
    CThreadScheduler::RunOnce();

    const auto start = Clock::now();
    EXPECT_TRUE(StopAllThreads(milliseconds(2000)));
    EXPECT_LT(SecondsSince(start), 1.5);  // within the stop's own limit of 2 s
    EXPECT_TRUE(CThread::LiveThreads().IsEmpty());
    std::sort(ends.begin(), ends.end());
    EXPECT_EQ(ends, (std::vector<std::string>{"never started", "running", "sleeping", "suspended"}));
}

TEST_F(SleepAndWakeTest, StopAllThreadsGivesUpOnAThreadIgnoringStops)
{
    bool release = false;
    CLambdaThread stubborn([&](CLambdaThread&) {
        while (!release) CThread::Yield();
    });
    stubborn.Resume();
    const auto start = Clock::now();
    EXPECT_FALSE(StopAllThreads(milliseconds(100)));
    EXPECT_GE(SecondsSince(start), 0.1);
    release = true;
    CThreadScheduler::RunUntilIdle();
    EXPECT_TRUE(stubborn.IsFinished());
}

} // namespace
