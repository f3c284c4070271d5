#pragma once

#include <windows.h>

typedef void (*GuardedRoutine)(void* context);

// Runs routine(context) on the calling thread inside a guarded region and returns true when
// it ran to its end.
//
// Any exception raised on this thread while the routine runs (a hardware fault such as an
// illegal or privileged instruction or an access violation, or a software exception) abandons
// the routine: execution resumes here, the result is false and *exceptionCode, when given,
// receives the exception's code. The routine's own frames are discarded without any cleanup,
// so it must not hold objects with destructors or locks across a fault, and it must not run
// window procedures (a fault there could not be resumed past the system's callback).
// Exceptions of informational severity (debugger output, thread naming) are left to the
// handler of whoever raised them.
//
// Who sees an exception first depends on the processor. On x64 the guard takes it before the
// routine's own handlers could see it, so a routine must not rely on catching an exception of
// its own (this program throws none). On x86 the guard is an exception frame on the thread's
// chain, so a routine that installs its own exception frame sees a fault first and may handle
// it; if it does not, its frame gets its unwinding call as the guard takes the fault.
//
// Guards nest, and each thread has its own. If the guard cannot be set up (no thread-local
// slot or no exception handler), the routine is not run and the result is false; a fault
// unguarded would end the process. *exceptionCode is left unchanged unless an exception was
// taken.
bool CallGuarded(GuardedRoutine routine, void* context, DWORD* exceptionCode = nullptr);

// Whether the calling thread is inside CallGuarded at this moment: any exception raised on it
// now is the guard's to take. Lets a process-wide exception monitor tell a fault provoked on
// purpose inside a guard from one that escaped everything.
bool IsInsideGuardedCall();
