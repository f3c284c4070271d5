#include "measure/fault_guard.h"

#include "measure/guard_frame.h"

// The guard works without compiler support for structured exception handling: a small
// assembly routine (fault_guard_x86.cpp, fault_guard_x64.cpp) saves the caller's callee-saved
// registers, records the stack pointer in a frame and calls the routine. When an exception is
// taken, the processor's half of the guard continues the thread in that routine's recovery
// path with the recorded stack pointer; the recovery path restores the registers and returns
// 1 to CallGuarded, exactly as if the routine had returned. Here: the per-thread chain of
// frames, which tells whether a thread is inside a guard.

namespace {

DWORD guardSlot = TLS_OUT_OF_INDEXES;

bool SetUpGuard()
{
    guardSlot = TlsAlloc();
    if (guardSlot == TLS_OUT_OF_INDEXES)
        return false;
    if (!InstallGuardHandler()) {
        TlsFree(guardSlot);
        guardSlot = TLS_OUT_OF_INDEXES;
        return false;
    }
    return true;
}

// Set up once per process, by whichever thread gets here first; whatever the handler needs
// stays in place until the process ends.
bool GuardReady()
{
    static const bool ready = SetUpGuard();
    return ready;
}

} // namespace

GuardFrame* InnermostGuardFrame()
{
    // Also asked from inside exception handlers: leaves the thread's last error as it was.
    DWORD lastError = GetLastError();
    GuardFrame* frame = static_cast<GuardFrame*>(TlsGetValue(guardSlot));
    SetLastError(lastError);
    return frame;
}

void ForgetGuardFrame(GuardFrame* frame)
{
    if (InnermostGuardFrame() == frame)
        TlsSetValue(guardSlot, frame->outer);
}

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
    return InnermostGuardFrame() != nullptr;
}
