// Shared between CWakeToken and the scheduler, which wakes the waiter when it
// collects a signalled token.
#pragma once

#include <memory>
#include <mutex>

class CThread;

struct SWakeTokenState {
    std::mutex mutex;
    bool signalled = false;    // guarded by mutex
    CThread* waiter = nullptr; // scheduler's OS thread only
};

// Any OS thread: queues a token that has just become signalled for the
// scheduler and wakes it.
void PostSignalledToken(const std::shared_ptr<SWakeTokenState>& token);
