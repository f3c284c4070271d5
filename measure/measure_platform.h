#pragma once

#include <windows.h>

// Every platform operation the timed code depends on (the counters, the chains, the workers'
// threads and the dialog's timer), reached through one table so that logic tests can put
// fakes in place. The fields start as the real operations. What the processor and the system
// are asked about themselves goes through the processor's table (processor_platform.h).
struct MeasurePlatform {
    decltype(&::QueryPerformanceFrequency) QueryPerformanceFrequency = ::QueryPerformanceFrequency;
    decltype(&::QueryPerformanceCounter) QueryPerformanceCounter = ::QueryPerformanceCounter;
    decltype(&::CreateThread) CreateThread = ::CreateThread;
    decltype(&::ResumeThread) ResumeThread = ::ResumeThread;
    decltype(&::CloseHandle) CloseHandle = ::CloseHandle;
    decltype(&::WaitForSingleObject) WaitForSingleObject = ::WaitForSingleObject;
    decltype(&::GetDlgItem) GetDlgItem = ::GetDlgItem;
    decltype(&::EnableWindow) EnableWindow = ::EnableWindow;
    decltype(&::KillTimer) KillTimer = ::KillTimer;
    decltype(&::SetTimer) SetTimer = ::SetTimer;

    // The processor's instructions the timing uses (processor_instructions.h, dependent_chain.h).
    unsigned long long (*ReadTimeStamp)();
    unsigned long long (*ReadSerialisedTimeStamp)();
    void (*MaskInterrupts)();
    void (*UnmaskInterrupts)();
    void (*RunShortChain)(unsigned passes);
    void (*RunLongChain)(unsigned passes);

    MeasurePlatform();
};

// The table in use. Tests replace fields and restore the table afterwards.
MeasurePlatform& measurePlatform();
