#include "platform/fibers/exception_state.h"

#include <cxxabi.h>

namespace {

// Layout of the per-thread exception globals fixed by the Itanium C++ ABI
// (both libstdc++ and libc++ follow it on x86-64 and AArch64).
struct SRuntimeExceptionGlobals {
    void* caughtExceptions;
    unsigned int uncaughtExceptions;
};

SRuntimeExceptionGlobals* RuntimeGlobals()
{
    return reinterpret_cast<SRuntimeExceptionGlobals*>(abi::__cxa_get_globals());
}

} // namespace

void SaveExceptionState(SExceptionState& state)
{
    SRuntimeExceptionGlobals* globals = RuntimeGlobals();
    state.caughtExceptions = globals->caughtExceptions;
    state.uncaughtExceptions = globals->uncaughtExceptions;
}

void RestoreExceptionState(const SExceptionState& state)
{
    SRuntimeExceptionGlobals* globals = RuntimeGlobals();
    globals->caughtExceptions = state.caughtExceptions;
    globals->uncaughtExceptions = state.uncaughtExceptions;
}
