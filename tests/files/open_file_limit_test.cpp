#include <sys/resource.h>

#include <algorithm>

#include <gtest/gtest.h>

#include "platform/posix/open_file_limit.h"

namespace {

// Raising the soft limit never passes the hard one nor what was asked for,
// and never lowers a limit already higher.
TEST(OpenFileLimit, RisesTowardsTheHardLimitUpToWhatIsWanted)
{
    rlimit original{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &original), 0);
    if (original.rlim_max == RLIM_INFINITY) GTEST_SKIP() << "no hard limit on open descriptors here";
    const std::size_t hard = original.rlim_max;
    ASSERT_GE(hard, 256u);
    struct Case {
        std::size_t soft;
        std::size_t wanted;
        std::size_t expected;
    } cases[] = {
        {64, 200, 200},           // raised to what is wanted
        {64, hard * 2, hard},     // no further than the hard limit
        {200, 100, 200},          // a higher limit stays
        {hard, hard, hard},       // nothing to do
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.soft << " wanting " << c.wanted);
        const rlimit start{c.soft, original.rlim_max};
        ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &start), 0);
        const std::size_t answered = RaiseOpenFileLimit(c.wanted);
        rlimit now{};
        ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &now), 0);
        ::setrlimit(RLIMIT_NOFILE, &original);
        EXPECT_EQ(answered, c.expected);
        EXPECT_EQ(now.rlim_cur, c.expected);
        EXPECT_EQ(now.rlim_max, original.rlim_max);
    }
}

}  // namespace
