#include "measure/guard_frame.h"

// The x86 half of the guard, built on what every 32-bit Windows has, Windows 95 included:
// frame-based structured exception handling. guard_call_thunk links an exception
// registration record (next record, handler, and the guard frame) into the thread's chain at
// fs:[0] for as long as the routine runs. The system offers each exception to the records
// from the innermost outwards, so a record the routine links in itself sees the exception
// first; when it reaches the guard's record, the handler lets the system unwind every record
// inside it (each gets its unwinding call) and continues in the thunk's recovery path.

namespace {

// The record guard_call_thunk builds on its stack; the system reads the first two fields.
struct GuardRegistration {
    GuardRegistration* next;
    void* handler;
    GuardFrame* frame;
};

} // namespace

extern "C" EXCEPTION_DISPOSITION __cdecl TakeGuardedException(EXCEPTION_RECORD* exception,
    void* establisherFrame, CONTEXT* context, void* dispatcherContext)
    asm("guard_exception_handler");

// Unwinds the records inside the guard's, then resumes in guard_call_thunk's recovery path on
// the guard's recorded stack. Never returns.
extern "C" [[noreturn]] void UnwindToGuard(GuardRegistration* registration, EXCEPTION_RECORD* exception)
    asm("guard_unwind_to");

// cdecl: the arguments are on the stack. The thunk's frame, from the stack pointer up: the
// routine's argument, the x87 control word, the registration record (next, handler, frame),
// the four saved registers, the return address, then the thunk's own arguments. The recovery
// path unlinks the record by restoring the chain as it was before the call. MXCSR is not
// touched, as processors without SSE have none.
//
// RtlUnwind returns to its caller with the stack pointer intact but not necessarily the other
// registers, so guard_unwind_to keeps the record on the stack across the call.
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
    subl $20, %esp
    fnstcw 4(%esp)
    movl 48(%esp), %ebx
    movl %esp, (%ebx)
    movl %ebx, 16(%esp)
    movl $guard_exception_handler, 12(%esp)
    movl %fs:0, %eax
    movl %eax, 8(%esp)
    leal 8(%esp), %eax
    movl %eax, %fs:0
    movl 44(%esp), %eax
    movl %eax, (%esp)
    call *40(%esp)
    movl (%ebx), %esp
    xorl %eax, %eax
    jmp 1f
guard_call_resume:
    cld
    fninit
    movl $1, %eax
1:
    movl 8(%esp), %ecx
    movl %ecx, %fs:0
    fldcw 4(%esp)
    addl $20, %esp
    popl %edi
    popl %esi
    popl %ebx
    popl %ebp
    ret

    .p2align 4
    .globl guard_unwind_to
    .def guard_unwind_to; .scl 2; .type 32; .endef
guard_unwind_to:
    movl 4(%esp), %esi
    movl 8(%esp), %edi
    pushl %esi
    pushl $0
    pushl %edi
    pushl $2f
    pushl %esi
    call *__imp__RtlUnwind@16
2:
    popl %esi
    movl 8(%esi), %ecx
    movl (%ecx), %esp
    jmp guard_call_resume
)");

EXCEPTION_DISPOSITION __cdecl TakeGuardedException(EXCEPTION_RECORD* exception,
    void* establisherFrame, CONTEXT*, void*)
{
    GuardRegistration* registration = static_cast<GuardRegistration*>(establisherFrame);
    if (IS_UNWINDING(exception->ExceptionFlags)) {
        // Someone outside the guard took an exception the guard left alone and is unwinding
        // past it: the call ends without returning through CallGuarded.
        ForgetGuardFrame(registration->frame);
        return ExceptionContinueSearch;
    }
    if (IsInformational(exception->ExceptionCode))
        return ExceptionContinueSearch;
    // Continuing the faulting context is not an option for every exception (the system
    // refuses to continue a non-continuable one), so the guard unwinds instead, as the
    // system's own handlers do.
    registration->frame->exceptionCode = exception->ExceptionCode;
    UnwindToGuard(registration, exception);
}

bool InstallGuardHandler()
{
    // The handler is linked in by each guarded call; nothing to set up.
    return true;
}
