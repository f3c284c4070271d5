#include "measure/guard_frame.h"

// The x64 half of the guard: a vectored exception handler, which the system consults before
// any frame-based handler, looks up the thread's innermost guard frame and, if there is one,
// rewrites the faulting context so that the thread continues in the recovery path of
// guard_call_thunk with the recorded stack pointer.

extern "C" void GuardCallResume() asm("guard_call_resume");

// Windows x64: rcx = routine, rdx = context, r8 = frame. Saved beside the general registers:
// xmm6 to xmm15, MXCSR and the x87 control word, which the calling convention also preserves.
// The prologue carries unwind information so that stack walks pass through it.
asm(R"(
    .text
    .p2align 4
    .globl guard_call_thunk
    .def guard_call_thunk; .scl 2; .type 32; .endef
    .seh_proc guard_call_thunk
guard_call_thunk:
    pushq %rbp
    .seh_pushreg %rbp
    pushq %rbx
    .seh_pushreg %rbx
    pushq %rdi
    .seh_pushreg %rdi
    pushq %rsi
    .seh_pushreg %rsi
    pushq %r12
    .seh_pushreg %r12
    pushq %r13
    .seh_pushreg %r13
    pushq %r14
    .seh_pushreg %r14
    pushq %r15
    .seh_pushreg %r15
    subq $200, %rsp
    .seh_stackalloc 200
    movaps %xmm6, 32(%rsp)
    .seh_savexmm %xmm6, 32
    movaps %xmm7, 48(%rsp)
    .seh_savexmm %xmm7, 48
    movaps %xmm8, 64(%rsp)
    .seh_savexmm %xmm8, 64
    movaps %xmm9, 80(%rsp)
    .seh_savexmm %xmm9, 80
    movaps %xmm10, 96(%rsp)
    .seh_savexmm %xmm10, 96
    movaps %xmm11, 112(%rsp)
    .seh_savexmm %xmm11, 112
    movaps %xmm12, 128(%rsp)
    .seh_savexmm %xmm12, 128
    movaps %xmm13, 144(%rsp)
    .seh_savexmm %xmm13, 144
    movaps %xmm14, 160(%rsp)
    .seh_savexmm %xmm14, 160
    movaps %xmm15, 176(%rsp)
    .seh_savexmm %xmm15, 176
    .seh_endprologue
    stmxcsr 192(%rsp)
    fnstcw 196(%rsp)
    movq %rsp, (%r8)
    movq %rcx, %rax
    movq %rdx, %rcx
    callq *%rax
    xorl %eax, %eax
    jmp 1f
    .globl guard_call_resume
guard_call_resume:
    fninit
    movl $1, %eax
1:
    ldmxcsr 192(%rsp)
    fldcw 196(%rsp)
    movaps 32(%rsp), %xmm6
    movaps 48(%rsp), %xmm7
    movaps 64(%rsp), %xmm8
    movaps 80(%rsp), %xmm9
    movaps 96(%rsp), %xmm10
    movaps 112(%rsp), %xmm11
    movaps 128(%rsp), %xmm12
    movaps 144(%rsp), %xmm13
    movaps 160(%rsp), %xmm14
    movaps 176(%rsp), %xmm15
    addq $200, %rsp
    popq %r15
    popq %r14
    popq %r13
    popq %r12
    popq %rsi
    popq %rdi
    popq %rbx
    popq %rbp
    retq
    .seh_endproc
)");

namespace {

const DWORD DirectionFlag = 0x400;

LONG CALLBACK TakeGuardedException(EXCEPTION_POINTERS* exception)
{
    // This handler sees every exception of the process.
    GuardFrame* frame = InnermostGuardFrame();
    if (frame == nullptr)
        return EXCEPTION_CONTINUE_SEARCH;
    DWORD code = exception->ExceptionRecord->ExceptionCode;
    if (IsInformational(code))
        return EXCEPTION_CONTINUE_SEARCH;

    frame->exceptionCode = code;
    CONTEXT* context = exception->ContextRecord;
    context->Rsp = reinterpret_cast<DWORD64>(frame->resumeStack);
    context->Rip = reinterpret_cast<DWORD64>(&GuardCallResume);
    // Compiled code expects the direction flag clear at every call and return.
    context->EFlags &= ~DirectionFlag;
    return EXCEPTION_CONTINUE_EXECUTION;
}

} // namespace

bool InstallGuardHandler()
{
    // First in line, so that no other vectored handler sees a fault the guard takes.
    return AddVectoredExceptionHandler(1, TakeGuardedException) != nullptr;
}
