#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "foundation/errors/framework_exception.h"
#include "foundation/threads/thread.h"
#include "foundation/threads/thread_list_walk.h"
#include "foundation/threads/thread_scheduler.h"
#include "tests/threads/lambda_thread.h"

namespace {

class ThreadTest : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_TRUE(CThread::LiveThreads().IsEmpty()); }
};

std::vector<CThread*> ListedThreads()
{
    std::vector<CThread*> threads;
    for (CThread* thread : CThread::LiveThreads()) threads.push_back(thread);
    return threads;
}

struct SInterleaving {
    int threads;
    int steps;
};

class InterleavingTest : public ThreadTest, public ::testing::WithParamInterface<SInterleaving> {};

// Ready threads take turns in creation order, one step per yield.
TEST_P(InterleavingTest, ThreadsTakeTurnsInCreationOrder)
{
    const SInterleaving shape = GetParam();
    std::string order;
    std::vector<std::unique_ptr<CLambdaThread>> threads;
    for (int t = 0; t < shape.threads; ++t) {
        threads.push_back(std::make_unique<CLambdaThread>([&order, t, &shape](CLambdaThread&) {
            for (int s = 0; s < shape.steps; ++s) {
                order += static_cast<char>('a' + t);
                CThread::Yield();
            }
        }));
    }
    for (auto& thread : threads) thread->Resume();
    CThreadScheduler::RunUntilIdle();

    std::string expected;
    for (int s = 0; s < shape.steps; ++s)
        for (int t = 0; t < shape.threads; ++t) expected += static_cast<char>('a' + t);
    EXPECT_EQ(order, expected);
    for (auto& thread : threads) EXPECT_TRUE(thread->IsFinished());
}

INSTANTIATE_TEST_SUITE_P(Shapes, InterleavingTest,
                         ::testing::Values(SInterleaving{1, 3}, SInterleaving{2, 3}, SInterleaving{3, 2},
                                           SInterleaving{5, 1}));

TEST_F(ThreadTest, ThreadRunsOnlyOnceResumed)
{
    int runs = 0;
    CLambdaThread thread([&](CLambdaThread&) { ++runs; });
    EXPECT_EQ(CThreadScheduler::RunOnce(), 0);
    EXPECT_FALSE(thread.HasStarted());
    thread.Resume();
    EXPECT_EQ(CThreadScheduler::RunOnce(), 1);
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(thread.IsFinished());
}

// What each stop check does, by when the stop is requested.
struct SStopCase {
    const char* name;
    int requestBeforeCheck; // -1: before the thread first runs
    int checks;
    std::string expected; // per check: 'r' returned, 't' threw
};

class StopCheckTest : public ThreadTest, public ::testing::WithParamInterface<SStopCase> {};

TEST_P(StopCheckTest, StopCheckThrowsOnceAfterARequest)
{
    const SStopCase& c = GetParam();
    std::string outcome;
    CLambdaThread thread([&](CLambdaThread& self) {
        for (int i = 0; i < c.checks; ++i) {
            if (i == c.requestBeforeCheck) self.RequestStop();
            try {
                self.CheckStop();
                outcome += 'r';
            } catch (const CThread::CStopException& stop) {
                EXPECT_EQ(stop.GetErrorCode(), -1);
                EXPECT_STREQ(stop.GetErrorString(), "CStopException");
                outcome += 't';
            }
        }
    });
    if (c.requestBeforeCheck < 0) thread.RequestStop();
    thread.Resume();
    CThreadScheduler::RunUntilIdle();
    EXPECT_EQ(outcome, c.expected);
    EXPECT_TRUE(thread.IsFinished());
}

INSTANTIATE_TEST_SUITE_P(Cases, StopCheckTest,
                         ::testing::Values(SStopCase{"NoRequest", 99, 3, "rrr"},
                                           SStopCase{"RequestThenTwoChecks", 1, 3, "rtr"},
                                           SStopCase{"RequestBeforeFirstRun", -1, 2, "tr"}),
                         [](const auto& info) { return std::string(info.param.name); });

// General handlers inside a body must not swallow a stop.
TEST_F(ThreadTest, StopPassesGeneralHandlers)
{
    std::string path;
    CLambdaThread thread([&](CLambdaThread& self) {
        try {
            try {
                self.CheckStop();
            } catch (const CFrameworkException&) {
                path += "framework ";
            } catch (const std::exception&) {
                path += "std ";
            }
            path += "went on";
        } catch (const CThread::CStopException&) {
            path += "stopped";
        }
    });
    thread.RequestStop();
    thread.Resume();
    CThreadScheduler::RunUntilIdle();
    EXPECT_EQ(path, "stopped");
}

// A stop check made for another thread must not throw into the caller.
TEST_F(ThreadTest, StopCheckForAnotherThreadOnlyYields)
{
    bool ran = false;
    CLambdaThread thread([&](CLambdaThread&) { ran = true; });
    thread.RequestStop();
    thread.Resume();
    EXPECT_NO_THROW(thread.CheckStop()); // on the main context: runs a pass
    EXPECT_TRUE(ran);
    EXPECT_FALSE(thread.IsStopping());
}

TEST_F(ThreadTest, UncaughtExceptionEndsOnlyItsThread)
{
    int otherSteps = 0;
    CLambdaThread failing([](CLambdaThread&) { throw std::runtime_error("boom"); });
    CLambdaThread other([&](CLambdaThread&) {
        ++otherSteps;
        CThread::Yield();
        ++otherSteps;
    });
    failing.Resume();
    other.Resume();
    testing::internal::CaptureStderr();
    CThreadScheduler::RunUntilIdle();
    EXPECT_NE(testing::internal::GetCapturedStderr().find("boom"), std::string::npos);
    EXPECT_TRUE(failing.IsFinished());
    EXPECT_EQ(otherSteps, 2);
}

TEST_F(ThreadTest, SuspendedThreadIsSkippedUntilResumed)
{
    std::string trace;
    CLambdaThread worker([&](CLambdaThread&) {
        for (int i = 0; i < 3; ++i) {
            trace += 'w';
            CThread::Yield();
        }
    });
    CLambdaThread pauser([&](CLambdaThread& self) {
        trace += 'p';
        self.Suspend(); // switches away at once
        trace += 'P';
    });
    worker.Resume();
    pauser.Resume();
    CThreadScheduler::RunOnce();
    EXPECT_EQ(trace, "wp");
    worker.Suspend();
    EXPECT_EQ(CThreadScheduler::RunOnce(), 0);
    EXPECT_FALSE(CThreadScheduler::HasReadyThreads());
    pauser.Resume();
    worker.Resume();
    CThreadScheduler::RunUntilIdle();
    EXPECT_EQ(trace, "wpwPw");
}

TEST_F(ThreadTest, SelfDeletingThreadLeavesTheListWhenItEnds)
{
    bool destroyed = false;
    struct CNotingThread : CThread {
        bool* destroyed;
        explicit CNotingThread(bool* flag) : destroyed(flag) {}
        ~CNotingThread() override { *destroyed = true; }
        void* Run() override
        {
            CThread::Yield();
            return nullptr;
        }
    };
    auto* thread = new CNotingThread(&destroyed);
    EXPECT_EQ(thread->WhenFinished(), CThread::EWhenFinished::kDeleteSelf);
    thread->Resume();
    CThreadScheduler::RunOnce();
    EXPECT_FALSE(destroyed);
    CThreadScheduler::RunOnce();
    EXPECT_TRUE(destroyed);
}

class RemovalTest : public ThreadTest, public ::testing::WithParamInterface<int> {};

// Destroying a thread removes exactly its own entry, wherever it stands.
TEST_P(RemovalTest, DestroyingRemovesOnlyItsOwnEntry)
{
    std::vector<std::unique_ptr<CLambdaThread>> threads;
    for (int i = 0; i < 4; ++i) threads.push_back(std::make_unique<CLambdaThread>([](CLambdaThread&) {}));
    std::vector<CThread*> expected;
    for (int i = 0; i < 4; ++i)
        if (i != GetParam()) expected.push_back(threads[i].get());
    threads[GetParam()].reset();
    EXPECT_EQ(ListedThreads(), expected);
}

INSTANTIATE_TEST_SUITE_P(Positions, RemovalTest, ::testing::Values(0, 1, 3));

// A walk goes on correctly when the element it handles and the one it would
// hand out next are destroyed while it is under way.
TEST_F(ThreadTest, WalkSurvivesThreadsDestroyedUnderIt)
{
    std::vector<std::unique_ptr<CLambdaThread>> threads;
    for (int i = 0; i < 5; ++i) threads.push_back(std::make_unique<CLambdaThread>([](CLambdaThread&) {}));
    std::vector<CThread*> raw;
    for (auto& thread : threads) raw.push_back(thread.get());
    std::vector<CThread*> visited;
    CThreadListWalk walk;
    while (CThread* thread = walk.Next()) {
        visited.push_back(thread);
        if (thread == raw[1]) {
            threads[1].reset(); // the current one
            threads[2].reset(); // the next one
        }
    }
    EXPECT_EQ(visited, (std::vector<CThread*>{raw[0], raw[1], raw[3], raw[4]}));
}

// A thread's walk yields between elements while other threads end and delete
// themselves; the walk must neither touch them nor skip the living.
TEST_F(ThreadTest, YieldingWalkSurvivesThreadsEndingMeanwhile)
{
    std::vector<CThread*> visited;
    auto* walker = new CLambdaThread(
        [&](CLambdaThread&) {
            CThreadListWalk walk;
            while (CThread* thread = walk.Next()) {
                visited.push_back(thread);
                CThread::Yield();
            }
        },
        CThread::EWhenFinished::kDeleteSelf);
    std::vector<CThread*> shortLived;
    for (int i = 0; i < 3; ++i) {
        shortLived.push_back(new CLambdaThread([](CLambdaThread&) {}, CThread::EWhenFinished::kDeleteSelf));
        shortLived.back()->Resume();
    }
    CLambdaThread survivor([](CLambdaThread&) {});
    walker->Resume();
    CThreadScheduler::RunOnce(); // short-lived threads end and are deleted
    // The walk handed out itself, then moved past the deleted threads.
    CThreadScheduler::RunUntilIdle();
    EXPECT_EQ(visited, (std::vector<CThread*>{walker, &survivor}));
}

// Scheduler loops must never be entered from a thread.
TEST_F(ThreadTest, SchedulerRefusesToRunOnAThread)
{
    bool refused = false;
    CLambdaThread thread([&](CLambdaThread&) {
        try {
            CThreadScheduler::RunUntil([] { return true; });
        } catch (const std::logic_error&) {
            refused = true;
        }
    });
    thread.Resume();
    CThreadScheduler::RunUntilIdle();
    EXPECT_TRUE(refused);
}

TEST(ThreadDeathTest, DeletingARunningThreadAborts)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            auto* thread = new CLambdaThread([](CLambdaThread& self) { delete &self; });
            thread->Resume();
            CThreadScheduler::RunOnce();
        },
        "deleted while its body was still running");
}

} // namespace
