// The event loop drives the fibers: sleeps end by the driver's timer, a
// worker's wake-up reaches the loop by a posted event, and nothing polls.
#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include <QTimer>
#include <gtest/gtest.h>

#include "app/framework/scheduler_driver.h"
#include "foundation/threads/thread.h"
#include "foundation/threads/wake_token.h"
#include "framework_environment.h"

namespace {

using namespace std::chrono_literals;

class CBodyThread : public CThread {
public:
    explicit CBodyThread(std::function<void()> body) : CThread(EWhenFinished::kKeep), mBody(std::move(body)) {}

protected:
    void* Run() override
    {
        mBody();
        return nullptr;
    }

private:
    std::function<void()> mBody;
};

// A busy loop would run thousands of passes while a fiber sleeps; the driver
// runs a handful.
constexpr std::uint64_t kFewPasses = 20;

TEST(SchedulerDriver, SleepEndsByTimerWithoutPolling)
{
    CSchedulerDriver::ResetStats();
    bool woke = false;
    CBodyThread sleeper([&] {
        CThread::Current()->Sleep(60ms);
        woke = true;
    });
    sleeper.Resume();
    ASSERT_TRUE(RunLoopUntil([&] { return sleeper.IsFinished(); }));
    EXPECT_TRUE(woke);
    CSchedulerDriver::SStats stats = CSchedulerDriver::Stats();
    EXPECT_GE(stats.timerArms, 1u);
    EXPECT_LT(stats.passes, kFewPasses) << "the loop polled the scheduler";
}

TEST(SchedulerDriver, WorkerWakeUpPostsAnEvent)
{
    CSchedulerDriver::ResetStats();
    CWakeToken done;
    bool signalled = false;
    CBodyThread waiter([&] { signalled = done.Wait(); });
    waiter.Resume();
    ASSERT_TRUE(RunLoopUntil([&] { return waiter.IsSleeping(); }));
    std::uint64_t passesWhileWaiting = CSchedulerDriver::Stats().passes;
    std::thread worker([done] {
        std::this_thread::sleep_for(40ms);
        done.Signal();
    });
    ASSERT_TRUE(RunLoopUntil([&] { return waiter.IsFinished(); }));
    worker.join();
    EXPECT_TRUE(signalled);
    EXPECT_GE(CSchedulerDriver::Stats().wakePosts, 1u);
    EXPECT_LT(CSchedulerDriver::Stats().passes - passesWhileWaiting, kFewPasses);
}

TEST(SchedulerDriver, ReadyFibersLeaveRoomForEvents)
{
    // Two fibers that only yield still let timers and input through: each
    // pass is one posted event among the others.
    int timerShots = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++timerShots; });
    timer.start(0);
    std::atomic<int> yields{0};
    auto spin = [&] {
        while (timerShots < 3) {
            ++yields;
            CThread::Yield();
        }
    };
    CBodyThread first(spin), second(spin);
    first.Resume();
    second.Resume();
    ASSERT_TRUE(RunLoopUntil([&] { return first.IsFinished() && second.IsFinished(); }));
    EXPECT_GE(timerShots, 3);
}

TEST(SchedulerDriver, AWakeTheGuiThreadGivesItselfNeedsNoPostedPass)
{
    struct Case {
        const char* name;
        // Wakes the waiter; returns whether it ran before the loop did.
        std::function<bool(const CWakeToken&, const CThread&)> wake;
        bool posts;
    };
    const Case cases[] = {
        {"held: the pass runs as the hold ends",
         [](const CWakeToken& done, const CThread& waiter) {
             {
                 CSchedulerDriver::CPassAfter passAfter;
                 done.Signal();
                 if (waiter.IsFinished()) return true;  // not before the hold ends
             }
             return waiter.IsFinished();
         },
         false},
        {"a fiber waking another within a pass",
         [](const CWakeToken& done, const CThread& waiter) {
             CBodyThread waker([done] { done.Signal(); });
             {
                 CSchedulerDriver::CPassAfter passAfter;
                 waker.Resume();
             }
             return waker.IsFinished() && waiter.IsFinished();
         },
         false},
        {"not held: a posted pass",
         [](const CWakeToken& done, const CThread& waiter) {
             done.Signal();
             const bool ranAtOnce = waiter.IsFinished();
             RunLoopUntil([&] { return waiter.IsFinished(); });
             return !ranAtOnce;
         },
         true},
    };
    for (const Case& c : cases) {
        CWakeToken done;
        CBodyThread waiter([&] { done.Wait(); });
        waiter.Resume();
        ASSERT_TRUE(RunLoopUntil([&] { return waiter.IsSleeping(); })) << c.name;
        const std::uint64_t posts = CSchedulerDriver::Stats().wakePosts;
        EXPECT_TRUE(c.wake(done, waiter)) << c.name;
        EXPECT_TRUE(waiter.IsFinished()) << c.name;
        EXPECT_EQ(CSchedulerDriver::Stats().wakePosts > posts, c.posts) << c.name;
    }
}

TEST(SchedulerDriver, APassWaitsForWhatItsFibersWaitOnWithinItsTime)
{
    // The pass wait stands for the downloads the GUI thread drives: it
    // answers a question the fiber asked, as a transfer ending in the wait
    // does, and has nothing to wait for otherwise.
    struct Case {
        const char* name;
        bool answersInTheWait;
    };
    const Case cases[] = {{"answers given in the wait go on in the same pass", true},
                          {"nothing to wait for ends the pass", false}};
    constexpr int kQuestions = 40;
    for (const Case& c : cases) {
        CWakeToken answer;
        bool asking = false;
        int waits = 0;
        CSchedulerDriver::SetPassWait([&](std::chrono::steady_clock::time_point until) {
            ++waits;
            EXPECT_GT(until, std::chrono::steady_clock::now() - 1s) << c.name;
            if (!asking || !c.answersInTheWait) return false;
            asking = false;
            answer.Signal();
            return true;
        });
        int answered = 0;
        CBodyThread asker([&] {
            for (int i = 0; i < kQuestions; ++i) {
                asking = true;
                if (answer.Wait()) ++answered;
            }
        });
        QTimer answerFromTheLoop;
        QObject::connect(&answerFromTheLoop, &QTimer::timeout, [&] {
            if (!asking) return;
            asking = false;
            answer.Signal();
        });
        answerFromTheLoop.start(0);
        CSchedulerDriver::ResetStats();
        asker.Resume();
        const bool finished = RunLoopUntil([&] { return asker.IsFinished(); });
        answerFromTheLoop.stop();
        CSchedulerDriver::SetPassWait(nullptr);
        ASSERT_TRUE(finished) << c.name;
        EXPECT_EQ(answered, kQuestions) << c.name;
        EXPECT_GE(waits, 1) << c.name;
        const std::uint64_t passes = CSchedulerDriver::Stats().passes;
        // A question per pass without the wait; a pass lasts milliseconds,
        // the answers microseconds, so at least half of them share passes.
        if (c.answersInTheWait) EXPECT_LT(passes, kQuestions / 2u) << c.name;
        else EXPECT_GE(passes, static_cast<std::uint64_t>(kQuestions)) << c.name;
    }
}

}  // namespace
