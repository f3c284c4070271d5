#pragma once

#include <windows.h>

#include "processor/processor_instructions.h"

// Processor groups, which Windows 7 brought for machines of more than 64 logical processors.
// Older systems lack these entry points, so they are looked up rather than imported.
typedef WORD(WINAPI* GetActiveProcessorGroupCountProc)();
typedef DWORD(WINAPI* GetActiveProcessorCountProc)(WORD group);
typedef BOOL(WINAPI* SetThreadGroupAffinityProc)(HANDLE thread, const GROUP_AFFINITY* affinity,
                                                 PGROUP_AFFINITY previous);
// The kinds of cores (Windows 7 and later; their efficiency classes from Windows 10 on).
typedef BOOL(WINAPI* GetLogicalProcessorInformationExProc)(LOGICAL_PROCESSOR_RELATIONSHIP relationship,
                                                           PSYSTEM_LOGICAL_PROCESSOR_INFORMATION_EX buffer,
                                                           PDWORD length);
// The machine the system runs on natively (Windows 10 1709 and later).
typedef BOOL(WINAPI* IsWow64Process2Proc)(HANDLE process, USHORT* processMachine, USHORT* nativeMachine);

// Every platform operation through which the program asks the processor and the system what
// they are (its name, its processors and their kinds, emulation) and binds a thread to one
// processor, reached through one table so that logic tests can put fakes in place. The
// fields start as the real operations.
struct ProcessorPlatform {
    decltype(&::GetSystemInfo) GetSystemInfo = ::GetSystemInfo;
    decltype(&::GetModuleHandleA) GetModuleHandleA = ::GetModuleHandleA;
    decltype(&::GetProcAddress) GetProcAddress = ::GetProcAddress;
    decltype(&::SetThreadAffinityMask) SetThreadAffinityMask = ::SetThreadAffinityMask;

    // Looked up in kernel32 when the table is made; null where the system lacks them.
    GetActiveProcessorGroupCountProc GetActiveProcessorGroupCount;
    GetActiveProcessorCountProc GetActiveProcessorCount;
    SetThreadGroupAffinityProc SetThreadGroupAffinity;
    GetLogicalProcessorInformationExProc GetLogicalProcessorInformationEx;
    IsWow64Process2Proc IsWow64Process2;

    // The processor's own answers (processor_instructions.h).
    bool (*ReadProcessorSignature)(ProcessorSignature* signature);
    bool (*ReadCpuidLeaf)(unsigned number, CpuidLeaf* leaf);

    ProcessorPlatform();
};

// The table in use. Tests replace fields and restore the table afterwards.
ProcessorPlatform& processorPlatform();
