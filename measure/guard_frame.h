#pragma once

#include <windows.h>

#include "measure/fault_guard.h"

// What CallGuarded shares with the processor-specific half of the guard: the frame of one
// guarded call, the assembly routine that runs the routine, and the one-time set-up.

struct GuardFrame {
    void* resumeStack;   // written by guard_call_thunk; must stay the first member
    GuardFrame* outer;   // the guard this one is nested in, or null
    DWORD exceptionCode; // the code of the exception taken, once one has been
};

// Saves the caller's callee-saved registers, records the stack pointer in frame->resumeStack
// and calls routine(context). Returns 0 when the routine returned, 1 when the guard's handler
// took an exception and resumed here.
extern "C" int GuardCallThunk(GuardedRoutine routine, void* context, GuardFrame* frame)
    asm("guard_call_thunk");

// Sets up whatever the processor's half needs once per process; false when it cannot.
bool InstallGuardHandler();

// Exceptions of informational severity (debugger output, thread naming) belong to whoever
// raised them.
inline bool IsInformational(DWORD code)
{
    return (code >> 30) == 1;
}

// The calling thread's innermost guard, or null. Leaves the thread's last error as it was,
// as exception handlers call it.
GuardFrame* InnermostGuardFrame();

// Called when an exception unwinds past a guard without the guard taking it, so that the
// thread is no longer counted as inside it.
void ForgetGuardFrame(GuardFrame* frame);
