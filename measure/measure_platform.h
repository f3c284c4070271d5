#pragma once

#include <windows.h>

// Every platform operation the measuring code depends on, reached through one table so that
// logic tests can put fakes in place. The fields start as the real operations.
struct MeasurePlatform {
    decltype(&::GetSystemInfo) GetSystemInfo = ::GetSystemInfo;
    decltype(&::GetModuleHandleA) GetModuleHandleA = ::GetModuleHandleA;
    decltype(&::GetProcAddress) GetProcAddress = ::GetProcAddress;
    decltype(&::QueryPerformanceFrequency) QueryPerformanceFrequency = ::QueryPerformanceFrequency;
    decltype(&::QueryPerformanceCounter) QueryPerformanceCounter = ::QueryPerformanceCounter;
    decltype(&::CreateThread) CreateThread = ::CreateThread;
    decltype(&::SetThreadAffinityMask) SetThreadAffinityMask = ::SetThreadAffinityMask;
    decltype(&::ResumeThread) ResumeThread = ::ResumeThread;
    decltype(&::CloseHandle) CloseHandle = ::CloseHandle;
    decltype(&::GetDlgItem) GetDlgItem = ::GetDlgItem;
    decltype(&::EnableWindow) EnableWindow = ::EnableWindow;
    decltype(&::KillTimer) KillTimer = ::KillTimer;
    decltype(&::SetTimer) SetTimer = ::SetTimer;

    // The processor's own operations (processor_instructions.h).
    unsigned long long (*ReadTimeStamp)();
    unsigned long long (*ReadSerialisedTimeStamp)();
    void (*MaskInterrupts)();
    void (*UnmaskInterrupts)();

    MeasurePlatform();
};

// The table in use. Tests replace fields and restore the table afterwards.
MeasurePlatform& measurePlatform();
