// The grab's own time, from its start (the start URL's check, which Return
// or the start button begins) to its end, printed as "Grab time: S s". The
// benchmark sets it beside the process's wall time, which also holds
// loading the program and building its windows.
#pragma once

#include <chrono>
#include <cstdio>

struct SGrabClock {
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();

    void Print() const
    {
        const std::chrono::duration<double> taken = std::chrono::steady_clock::now() - start;
        std::printf("Grab time: %.3f s\n", taken.count());
        std::fflush(stdout);
    }
};
