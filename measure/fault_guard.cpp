#include "measure/fault_guard.h"

// The guard works without compiler support for structured exception handling: a small
// assembly routine saves the caller's callee-saved registers on the stack and records the
// stack pointer in a frame, then calls the routine. A vectored exception handler, which the
// system consults before any frame-based handler, looks up the thread's innermost frame and,
// if there is one, rewrites the faulting context so that the thread continues in the assembly
// routine's recovery path with that stack pointer. The recovery path restores the registers
// and returns 1 to CallGuarded, exactly as if the routine had returned.

namespace {

struct GuardFrame {
    void* resumeStack;   // written by guard_call_thunk; must stay the first member
    GuardFrame* outer;   // the guard this one is nested in, or null
    DWORD exceptionCode; // the code of the exception taken, once one has been
};

} // namespace

extern "C" int GuardCallThunk(GuardedRoutine routine, void* context, GuardFrame* frame)
    asm("guard_call_thunk");
extern "C" void GuardCallResume() asm("guard_call_resume");

#if defined(__x86_64__)
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
#elif defined(__i386__)
// 32-bit x86, cdecl: the arguments are on the stack. Saved beside the general registers: the
// head of the thread's exception-registration chain at fs:[0], which a routine that faulted
// may have left pointing into its abandoned frames, and the x87 control word. MXCSR is not
// touched, as processors without SSE have none.
asm(R"(
    .text
    .p2align 4
    .globl guard_call_thunk
    .def guard_call_thunk; .scl 2; .type 32; .endef
guard_call_thunk:
    pushl %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    subl $12, %esp
    movl %fs:0, %eax
    movl %eax, 4(%esp)
    fnstcw 8(%esp)
    movl 40(%esp), %ebx
    movl %esp, (%ebx)
    movl 36(%esp), %eax
    movl %eax, (%esp)
    call *32(%esp)
    movl (%ebx), %esp
    xorl %eax, %eax
    jmp 1f
    .globl guard_call_resume
guard_call_resume:
    fninit
    movl $1, %eax
1:
    movl 4(%esp), %ecx
    movl %ecx, %fs:0
    fldcw 8(%esp)
    addl $12, %esp
    popl %edi
    popl %esi
    popl %ebx
    popl %ebp
    ret
)");
#else
#error "the guarded region is written for x86 and x64 only"
#endif

namespace {

DWORD guardSlot = TLS_OUT_OF_INDEXES;

const DWORD SeverityShift = 30;
const DWORD SeverityInformational = 1;
const DWORD DirectionFlag = 0x400;

LONG CALLBACK TakeGuardedException(EXCEPTION_POINTERS* exception)
{
    // This handler sees every exception of the process; it must leave the thread's last
    // error as it found it.
    DWORD lastError = GetLastError();
    GuardFrame* frame = static_cast<GuardFrame*>(TlsGetValue(guardSlot));
    SetLastError(lastError);
    if (frame == nullptr)
        return EXCEPTION_CONTINUE_SEARCH;
    DWORD code = exception->ExceptionRecord->ExceptionCode;
    if ((code >> SeverityShift) == SeverityInformational)
        return EXCEPTION_CONTINUE_SEARCH;

    frame->exceptionCode = code;
    CONTEXT* context = exception->ContextRecord;
#if defined(__x86_64__)
    context->Rsp = reinterpret_cast<DWORD64>(frame->resumeStack);
    context->Rip = reinterpret_cast<DWORD64>(&GuardCallResume);
#else
    context->Esp = reinterpret_cast<DWORD>(frame->resumeStack);
    context->Eip = reinterpret_cast<DWORD>(&GuardCallResume);
#endif
    // Compiled code expects the direction flag clear at every call and return.
    context->EFlags &= ~DirectionFlag;
    return EXCEPTION_CONTINUE_EXECUTION;
}

bool SetUpGuard()
{
    guardSlot = TlsAlloc();
    if (guardSlot == TLS_OUT_OF_INDEXES)
        return false;
    // First in line, so that no other vectored handler sees a fault the guard takes.
    if (AddVectoredExceptionHandler(1, TakeGuardedException) == nullptr) {
        TlsFree(guardSlot);
        guardSlot = TLS_OUT_OF_INDEXES;
        return false;
    }
    return true;
}

// Set up once per process, by whichever thread gets here first; the handler stays installed
// until the process ends.
bool GuardReady()
{
    static const bool ready = SetUpGuard();
    return ready;
}

} // namespace

bool CallGuarded(GuardedRoutine routine, void* context, DWORD* exceptionCode)
{
    if (!GuardReady())
        return false;
    GuardFrame frame = {nullptr, static_cast<GuardFrame*>(TlsGetValue(guardSlot)), 0};
    TlsSetValue(guardSlot, &frame);
    int faulted = GuardCallThunk(routine, context, &frame);
    TlsSetValue(guardSlot, frame.outer);
    if (faulted && exceptionCode != nullptr)
        *exceptionCode = frame.exceptionCode;
    return faulted == 0;
}

bool IsInsideGuardedCall()
{
    if (guardSlot == TLS_OUT_OF_INDEXES)
        return false;
    DWORD lastError = GetLastError();
    bool inside = TlsGetValue(guardSlot) != nullptr;
    SetLastError(lastError);
    return inside;
}
