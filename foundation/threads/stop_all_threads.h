// Quitting: every live thread is asked to stop and given the chance to see
// the request.
#pragma once

#include <chrono>

// Requests a stop of every live thread that has not finished, then resumes
// the suspended and never-started ones and wakes the sleeping ones so each
// reaches its stop check, and runs the scheduler until every listed thread
// has finished or `timeout` has passed. Threads created meanwhile are asked
// too. True when none is left unfinished. Runs outside any thread; called on
// a thread it does nothing and returns false.
[[nodiscard]] bool StopAllThreads(std::chrono::milliseconds timeout);
