#include "platform/fibers/stack_switch.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#if TIDEWELL_FIBER_UCONTEXT

namespace {

[[noreturn]] void FailContextCall(const char* what)
{
    std::fprintf(stderr, "Tidewell: fiber context call failed: %s\n", what);
    std::abort();
}

// makecontext passes int arguments only: the pointer comes in two halves.
void StartEntry(unsigned int high, unsigned int low)
{
    auto* context = reinterpret_cast<SStackContext*>((static_cast<std::uintptr_t>(high) << 32) | low);
    context->entry(context->argument);
}

} // namespace

void PrepareStackContext(SStackContext& context, void* bottom, std::size_t size, FiberEntry entry,
                         void* argument)
{
    if (getcontext(&context.context) != 0) FailContextCall("getcontext");
    context.context.uc_stack.ss_sp = bottom;
    context.context.uc_stack.ss_size = size;
    context.context.uc_link = nullptr;
    context.entry = entry;
    context.argument = argument;
    const auto address = reinterpret_cast<std::uintptr_t>(&context);
    makecontext(&context.context, reinterpret_cast<void (*)()>(&StartEntry), 2,
                static_cast<unsigned int>(address >> 32), static_cast<unsigned int>(address & 0xffffffffu));
}

void SwitchStack(SStackContext& from, SStackContext& to)
{
    if (swapcontext(&from.context, &to.context) != 0) FailContextCall("swapcontext");
}

#else

// tidewell_switch_stack(void** save, void* load): pushes the callee-saved
// registers and the SSE and x87 control words, stores the stack pointer in
// *save, loads `load` and pops the same frame from there.
// tidewell_start_fiber: the first return address of a new stack; calls
// entry (r13) with argument (r12). Marked as the outermost frame for
// unwinders.
asm(R"(
    .text
    .globl tidewell_switch_stack
    .type tidewell_switch_stack,@function
    .p2align 4
tidewell_switch_stack:
    .cfi_startproc
    pushq %rbp
    pushq %rbx
    pushq %r12
    pushq %r13
    pushq %r14
    pushq %r15
    subq $8, %rsp
    stmxcsr (%rsp)
    fnstcw 4(%rsp)
    movq %rsp, (%rdi)
    movq %rsi, %rsp
    ldmxcsr (%rsp)
    fldcw 4(%rsp)
    addq $8, %rsp
    popq %r15
    popq %r14
    popq %r13
    popq %r12
    popq %rbx
    popq %rbp
    ret
    .cfi_endproc
    .size tidewell_switch_stack, .-tidewell_switch_stack

    .globl tidewell_start_fiber
    .type tidewell_start_fiber,@function
    .p2align 4
tidewell_start_fiber:
    .cfi_startproc
    .cfi_undefined rip
    movq %r12, %rdi
    callq *%r13
    ud2
    .cfi_endproc
    .size tidewell_start_fiber, .-tidewell_start_fiber
)");

extern "C" void tidewell_switch_stack(void** save, void* load);
extern "C" void tidewell_start_fiber();

void PrepareStackContext(SStackContext& context, void* bottom, std::size_t size, FiberEntry entry,
                         void* argument)
{
    auto top = (reinterpret_cast<std::uintptr_t>(bottom) + size) & ~std::uintptr_t(15);
    auto* slot = reinterpret_cast<std::uint64_t*>(top);
    // The frame tidewell_switch_stack pops, from the highest address down;
    // after its `ret` the stack is 16-byte aligned, as a call requires.
    *--slot = reinterpret_cast<std::uint64_t>(&tidewell_start_fiber);
    *--slot = 0;                                         // rbp: end of the frame chain
    *--slot = 0;                                         // rbx
    *--slot = reinterpret_cast<std::uint64_t>(argument); // r12
    *--slot = reinterpret_cast<std::uint64_t>(entry);    // r13
    *--slot = 0;                                         // r14
    *--slot = 0;                                         // r15
    *--slot = 0x1F80 | (std::uint64_t(0x037F) << 32);    // default MXCSR, x87 control word
    context.stackPointer = slot;
}

void SwitchStack(SStackContext& from, SStackContext& to)
{
    tidewell_switch_stack(&from.stackPointer, to.stackPointer);
}

#endif
