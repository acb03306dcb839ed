#include <gtest/gtest.h>

#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/fibers/fiber.h"

namespace {

std::string CurrentMessage()
{
    try {
        std::rethrow_exception(std::current_exception());
    } catch (const std::exception& error) {
        return error.what();
    } catch (...) {
        return "none";
    }
}

TEST(Fiber, BodyRunsBetweenSwitchesAndEnds)
{
    std::vector<int> steps;
    CFiber fiber([&] {
        steps.push_back(1);
        CFiber::SwitchOut();
        steps.push_back(2);
    });
    EXPECT_FALSE(fiber.IsStarted());
    fiber.SwitchIn();
    EXPECT_EQ(steps, (std::vector<int>{1}));
    EXPECT_FALSE(fiber.IsFinished());
    EXPECT_EQ(CFiber::Current(), nullptr);
    fiber.SwitchIn();
    EXPECT_TRUE(fiber.IsFinished());
    fiber.SwitchIn(); // nothing left to run
    EXPECT_EQ(steps, (std::vector<int>{1, 2}));
}

TEST(Fiber, ExceptionEscapingTheBodyReachesTheHost)
{
    CFiber fiber([] { throw std::runtime_error("from the fiber"); });
    try {
        fiber.SwitchIn();
        FAIL() << "no exception";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "from the fiber");
    }
    EXPECT_TRUE(fiber.IsFinished());
}

// Each fiber and the host sit in their own catch block across switches; each
// must still see its own exception afterwards.
TEST(Fiber, EachContextKeepsItsCaughtException)
{
    std::vector<std::string> seen;
    auto body = [&seen](const char* name) {
        return [&seen, name] {
            try {
                throw std::runtime_error(name);
            } catch (...) {
                CFiber::SwitchOut();
                seen.push_back(CurrentMessage());
                try {
                    throw;
                } catch (const std::runtime_error& error) {
                    seen.push_back(error.what());
                }
            }
            seen.push_back(std::current_exception() ? "leaked" : "clear");
        };
    };
    CFiber first(body("first"));
    CFiber second(body("second"));
    try {
        throw std::runtime_error("host");
    } catch (...) {
        first.SwitchIn();
        second.SwitchIn();
        EXPECT_EQ(CurrentMessage(), "host");
        first.SwitchIn();
        second.SwitchIn();
        EXPECT_EQ(CurrentMessage(), "host");
    }
    EXPECT_FALSE(std::current_exception());
    EXPECT_EQ(seen, (std::vector<std::string>{"first", "first", "clear", "second", "second", "clear"}));
}

struct SYieldsWhileUnwinding {
    int* countSeen;
    ~SYieldsWhileUnwinding()
    {
        CFiber::SwitchOut();
        *countSeen = std::uncaught_exceptions();
    }
};

TEST(Fiber, UncaughtExceptionCountStaysWithItsFiber)
{
    int inFiber = -1;
    CFiber fiber([&] {
        try {
            SYieldsWhileUnwinding guard{&inFiber};
            throw std::runtime_error("unwinding");
        } catch (const std::runtime_error&) {
        }
    });
    fiber.SwitchIn(); // parked in the destructor, mid-unwind
    EXPECT_EQ(std::uncaught_exceptions(), 0);
    fiber.SwitchIn();
    EXPECT_EQ(inFiber, 1);
    EXPECT_TRUE(fiber.IsFinished());
}

int Recurse(int depth)
{
    volatile char frame[1024];
    frame[0] = static_cast<char>(depth);
    return depth > 0 ? Recurse(depth - 1) + frame[0] : 0;
}

TEST(FiberDeathTest, StackOverflowHitsTheGuardPage)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            CFiber fiber([] { Recurse(1 << 20); }, 64 * 1024);
            fiber.SwitchIn();
        },
        "");
}

} // namespace
