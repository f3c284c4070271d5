#pragma once

#include <windows.h>

// Process-wide results of the one-time detections, all 0 at process start. The first
// CycleCounter construction sets DetectionDone and then the others; they are not reset.
// Only the dialog thread reads and writes them.
extern LONG DetectionDone;
extern LONG CounterPresent;        // 1 if the time-stamp counter is usable
extern LONG NtPlatform;            // 1 on the NT platform family
// 1 if this program may mask interrupts around a counter read (never on the NT family). A
// system of the NT family that reports another platform to this program refuses CLI with a
// privileged-instruction fault, so off the NT family the permission is probed once, inside a
// guarded region, and withdrawn if a masked read ever faults.
extern LONG InterruptMaskPermitted;

// One reading of the time-stamp counter, held as two 32-bit halves, low half first.
class CycleCounter {
public:
    // Holds 0. The first construction in the process runs the one-time detections.
    CycleCounter();

    // Replaces the held count by a serialised reading of the counter, or by 0 where the
    // counter is not usable.
    void sample();

    unsigned long long count() const;

private:
    DWORD low_;
    DWORD high_;
};

// 1 if the processor has a time-stamp counter that reads and advances, else 0.
LONG DetectCycleCounter();

// 1 if the system is of the NT platform family (or cannot say: no GetVersionExA), else 0.
LONG IsNtPlatform();

// 1 if CLI and STI run without a fault on this system, else 0. Used off the NT family only.
LONG DetectInterruptMask();
