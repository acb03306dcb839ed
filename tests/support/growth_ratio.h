// Guards against quadratic work without a wall-clock limit: the time a job
// takes for a large input divided by its time for a small one. Each size runs
// a few times and keeps its quickest run, so a busy machine skews the ratio
// less than it would skew a single timing.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <functional>

namespace testsupport {

inline double GrowthRatio(const std::function<void(std::size_t)>& job, std::size_t smallSize, std::size_t largeSize,
                          int runs = 3)
{
    auto quickest = [&](std::size_t size) {
        double best = 1e300;
        for (int i = 0; i < runs; ++i) {
            auto start = std::chrono::steady_clock::now();
            job(size);
            std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
            best = std::min(best, elapsed.count());
        }
        return std::max(best, 1e-9);
    };
    return quickest(largeSize) / quickest(smallSize);
}

}  // namespace testsupport
