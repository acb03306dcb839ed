// A fiber: a body that runs on a stack of its own and switches only when it
// asks to. The side that switches a fiber in (its host) gets control back
// when the fiber switches out or its body ends.
//
// Every switch swaps the C++ runtime's exception state and is announced to
// AddressSanitizer. Fibers live on one OS thread: a fiber must be switched
// in on the OS thread that created it.
#pragma once

#include <cstddef>
#include <exception>
#include <functional>

#include "platform/fibers/exception_state.h"
#include "platform/fibers/fiber_stack.h"
#include "platform/fibers/stack_switch.h"

class CFiber {
public:
    static constexpr std::size_t kDefaultStackBytes = 1024000;

    // Maps the stack (std::bad_alloc when that fails); the body does not run
    // until the first SwitchIn.
    explicit CFiber(std::function<void()> body, std::size_t stackBytes = kDefaultStackBytes);
    // A fiber destroyed while its body is still under way loses its frames
    // without their destructors running: its owner must let it end first.
    ~CFiber();
    CFiber(const CFiber&) = delete;
    CFiber& operator=(const CFiber&) = delete;

    // Runs the fiber until it switches out or its body ends. An exception
    // that escapes the body is rethrown here, on the host. Does nothing once
    // the body has ended.
    void SwitchIn();

    // Called on a fiber: returns control to its host; comes back at the next
    // SwitchIn. Not to be called outside a fiber.
    static void SwitchOut();

    // The fiber running on this OS thread, or null outside any fiber.
    static CFiber* Current();

    bool IsStarted() const { return mStarted; }
    bool IsFinished() const { return mFinished; }

private:
    static void Entry(void* fiber);
    void RunBody();

    CFiberStack mStack;
    std::function<void()> mBody;
    SStackContext mContext;
    SStackContext mHostContext;
    SExceptionState mOwnExceptions;
    SExceptionState mHostExceptions;
    void* mFakeStack = nullptr;
    const void* mHostStackBottom = nullptr;
    std::size_t mHostStackSize = 0;
    CFiber* mPreviousFiber = nullptr;
    std::exception_ptr mEscaped;
    bool mStarted = false;
    bool mFinished = false;
};
