// The grab's own time, from its start (the start URL's check, which Return
// or the start button begins) to its end, printed as "Grab time: S s", and
// the processor time all of the process's threads spent in it, with its
// user and system shares, as "Grab CPU: S s (user U s, system S s)" (steadier
// than the wall time on a busy machine). The benchmark sets them beside the
// process's times, which also hold loading the program and building its
// windows.
#pragma once

#include <sys/resource.h>

#include <chrono>
#include <cstdio>

struct SGrabClock {
    struct SCPU {
        double user, system;
    };

    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    SCPU startCPU = ProcessCPU();

    void Print() const
    {
        const std::chrono::duration<double> taken = std::chrono::steady_clock::now() - start;
        const SCPU now = ProcessCPU();
        const double user = now.user - startCPU.user, system = now.system - startCPU.system;
        std::printf("Grab time: %.3f s\nGrab CPU: %.3f s (user %.3f s, system %.3f s)\n", taken.count(), user + system,
                    user, system);
        std::fflush(stdout);
    }

    static SCPU ProcessCPU()
    {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
        return {seconds(usage.ru_utime), seconds(usage.ru_stime)};
    }
};
