// The machine-level part of a fiber switch: save the running context's
// registers and stack pointer, load another's.
//
// On x86-64 a hand-written switch saves only the callee-saved registers and
// makes no system call (swapcontext also saves the signal mask, a system
// call on every switch that costs about a microsecond on a virtual machine).
// Elsewhere, or with TIDEWELL_FIBER_UCONTEXT defined, ucontext does the work.
#pragma once

#include <cstddef>

#if !defined(__x86_64__) && !defined(TIDEWELL_FIBER_UCONTEXT)
#define TIDEWELL_FIBER_UCONTEXT 1
#endif

#if TIDEWELL_FIBER_UCONTEXT
#include <ucontext.h>
#endif

using FiberEntry = void (*)(void* argument);

struct SStackContext {
#if TIDEWELL_FIBER_UCONTEXT
    ucontext_t context{};
    FiberEntry entry = nullptr;
    void* argument = nullptr;
#else
    void* stackPointer = nullptr;
#endif
};

// Makes `context` start `entry(argument)` on the stack [bottom, bottom +
// size) at its first SwitchStack. `entry` must never return.
void PrepareStackContext(SStackContext& context, void* bottom, std::size_t size, FiberEntry entry,
                         void* argument);

// Saves the running context into `from` and continues `to`; returns when
// something switches back to `from`.
void SwitchStack(SStackContext& from, SStackContext& to);
