// Tells AddressSanitizer about stack switches, so it checks the right stack
// and keeps each fiber's fake stack apart. Compiles to nothing otherwise.
#pragma once

#include <cstddef>

#if defined(__SANITIZE_ADDRESS__)
#define TIDEWELL_FIBER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TIDEWELL_FIBER_ASAN 1
#endif
#endif

#if TIDEWELL_FIBER_ASAN
#include <sanitizer/common_interface_defs.h>
#endif

// Before leaving the running stack for [bottom, bottom + size). Pass a null
// `fakeStackSave` when the running fiber is leaving for good.
inline void AnnounceStackSwitch(void** fakeStackSave, const void* bottom, std::size_t size)
{
#if TIDEWELL_FIBER_ASAN
    __sanitizer_start_switch_fiber(fakeStackSave, bottom, size);
#else
    (void)fakeStackSave;
    (void)bottom;
    (void)size;
#endif
}

// First thing on the stack that was switched to; reports the stack left.
inline void CompleteStackSwitch(void* fakeStack, const void** oldBottom, std::size_t* oldSize)
{
#if TIDEWELL_FIBER_ASAN
    __sanitizer_finish_switch_fiber(fakeStack, oldBottom, oldSize);
#else
    (void)fakeStack;
    (void)oldBottom;
    (void)oldSize;
#endif
}
