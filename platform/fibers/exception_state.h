// The C++ runtime keeps the exceptions being handled (the chain behind
// std::current_exception and rethrow) and the count of uncaught exceptions
// per OS thread. Fibers share one OS thread, so every switch must swap this
// state, or two fibers that yield inside catch blocks see each other's
// exception.
#pragma once

struct SExceptionState {
    void* caughtExceptions = nullptr;
    unsigned int uncaughtExceptions = 0;
};

// Copies the running context's state out of the runtime.
void SaveExceptionState(SExceptionState& state);
// Makes `state` the runtime's state for the running context.
void RestoreExceptionState(const SExceptionState& state);
