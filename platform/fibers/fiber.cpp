#include "platform/fibers/fiber.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <utility>

#include "platform/fibers/sanitizer_fiber.h"

namespace {

thread_local CFiber* tCurrentFiber = nullptr;

} // namespace

CFiber::CFiber(std::function<void()> body, std::size_t stackBytes)
    : mStack(stackBytes), mBody(std::move(body))
{
    PrepareStackContext(mContext, mStack.Bottom(), mStack.Size(), &CFiber::Entry, this);
}

CFiber::~CFiber() = default;

CFiber* CFiber::Current()
{
    return tCurrentFiber;
}

void CFiber::SwitchIn()
{
    if (mFinished) return;
    if (tCurrentFiber == this) throw std::logic_error("a fiber cannot switch into itself");
    mStarted = true;
    mPreviousFiber = tCurrentFiber;
    tCurrentFiber = this;
    SaveExceptionState(mHostExceptions);
    RestoreExceptionState(mOwnExceptions);

    void* hostFakeStack = nullptr;
    AnnounceStackSwitch(&hostFakeStack, mStack.Bottom(), mStack.Size());
    SwitchStack(mHostContext, mContext);
    CompleteStackSwitch(hostFakeStack, nullptr, nullptr);

    SaveExceptionState(mOwnExceptions);
    RestoreExceptionState(mHostExceptions);
    tCurrentFiber = mPreviousFiber;
    mPreviousFiber = nullptr;
    if (mEscaped) std::rethrow_exception(std::exchange(mEscaped, nullptr));
}

void CFiber::SwitchOut()
{
    CFiber* self = tCurrentFiber;
    if (self == nullptr) throw std::logic_error("SwitchOut called outside a fiber");
    AnnounceStackSwitch(&self->mFakeStack, self->mHostStackBottom, self->mHostStackSize);
    SwitchStack(self->mContext, self->mHostContext);
    CompleteStackSwitch(self->mFakeStack, &self->mHostStackBottom, &self->mHostStackSize);
}

void CFiber::Entry(void* fiber)
{
    auto* self = static_cast<CFiber*>(fiber);
    CompleteStackSwitch(nullptr, &self->mHostStackBottom, &self->mHostStackSize);
    self->RunBody();
    self->mFinished = true;
    // Leaving for good: no frame with a destructor is left on this stack.
    AnnounceStackSwitch(nullptr, self->mHostStackBottom, self->mHostStackSize);
    SwitchStack(self->mContext, self->mHostContext);
    std::fputs("Tidewell: a finished fiber was switched into\n", stderr);
    std::abort();
}

void CFiber::RunBody()
{
    try {
        mBody();
    } catch (...) {
        mEscaped = std::current_exception();
    }
}
