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
// handler of whoever raised them, as a frame-based guard around the call would never see them.
// Any other exception is taken before the routine's own handlers could see it, so a routine
// must not rely on catching an exception of its own (this program throws none).
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
