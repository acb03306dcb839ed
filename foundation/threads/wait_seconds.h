// Waiting while the other cooperative threads run.
#pragma once

#include <cstdint>

// Returns once at least `seconds` have passed; 0 returns at once. On a
// CThread the thread sleeps, using no CPU, and a Wake of the thread (as
// StopAllThreads gives at quit) ends the wait early. Outside any thread the
// scheduler runs the threads meanwhile.
void WaitSeconds(std::uint32_t seconds);
