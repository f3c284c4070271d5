// Linked into Zyklomatrix.exe's own sources to make zyk_program_486.exe: the program as it runs
// on a processor older than the Pentium. Before WinMain, its measuring platform is made to
// report processor type 486, and the two time-stamp reads to raise the illegal-instruction
// fault that RDTSC raises on such a processor (UD2 raises it on every processor).
#include <windows.h>

#include "measure/measure_platform.h"
#include "processor/processor_platform.h"

namespace {

void WINAPI GetSystemInfoOf486(SYSTEM_INFO* system)
{
    GetSystemInfo(system);
    system->dwProcessorType = PROCESSOR_INTEL_486;
    system->wProcessorLevel = 4;
}

unsigned long long ReadTimeStampOf486()
{
    asm volatile("ud2");
    return 0;
}

struct ProcessorOf486 {
    ProcessorOf486()
    {
        processorPlatform().GetSystemInfo = GetSystemInfoOf486;
        measurePlatform().ReadTimeStamp = ReadTimeStampOf486;
        measurePlatform().ReadSerialisedTimeStamp = ReadTimeStampOf486;
    }
} processorOf486;

}  // namespace
