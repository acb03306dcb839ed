// Guards against quadratic work without a wall-clock limit: the time a job
// takes for a large input divided by its time for a small one. The time is
// the calling thread's processor time, which a busy machine does not stretch
// the way it stretches wall time. Both sizes run once unmeasured (the
// allocator and caches settle), then each keeps its quickest of a few runs,
// taken in turns, to smooth out what load is left (shared caches, cores).
#pragma once

#include <time.h>

#include <algorithm>
#include <cstddef>
#include <functional>

namespace testsupport {

inline double ThreadSeconds()
{
    timespec now {};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

inline double GrowthRatio(const std::function<void(std::size_t)>& job, std::size_t smallSize, std::size_t largeSize,
                          int runs = 5)
{
    auto timed = [&](std::size_t size) {
        const double start = ThreadSeconds();
        job(size);
        return ThreadSeconds() - start;
    };
    timed(smallSize);
    timed(largeSize);
    double smallBest = 1e300;
    double largeBest = 1e300;
    for (int i = 0; i < runs; ++i) {
        smallBest = std::min(smallBest, timed(smallSize));
        largeBest = std::min(largeBest, timed(largeSize));
    }
    return largeBest / std::max(smallBest, 1e-9);
}

}  // namespace testsupport
