#include "measure/cycle_counter.h"

#include "measure/fault_guard.h"
#include "measure/measure_platform.h"
#include "measure/trace_message.h"
#include "processor/processor_platform.h"

LONG DetectionDone = 0;
LONG CounterPresent = 0;
LONG NtPlatform = 0;
LONG InterruptMaskPermitted = 0;

namespace {

// A 64-bit process on x64 Windows is told processor type 8664 rather than 586; the
// processor has the counter all the same.
const DWORD ProcessorTypeAmd64 = 8664;

void ReadCounterOnce(void*)
{
    measurePlatform().ReadTimeStamp();
}

void MaskAndUnmaskInterrupts(void*)
{
    measurePlatform().MaskInterrupts();
    measurePlatform().UnmaskInterrupts();
}

void UnmaskInterruptsGuarded(void*)
{
    measurePlatform().UnmaskInterrupts();
}

struct MaskedRead {
    unsigned long long count;
    bool masked;
};

void ReadWithInterruptsMasked(void* context)
{
    MaskedRead* read = static_cast<MaskedRead*>(context);
    measurePlatform().MaskInterrupts();
    read->masked = true;
    read->count = measurePlatform().ReadSerialisedTimeStamp();
    measurePlatform().UnmaskInterrupts();
    read->masked = false;
}

typedef BOOL(WINAPI* GetVersionExAProc)(OSVERSIONINFOA*);

} // namespace

LONG DetectCycleCounter()
{
    SYSTEM_INFO system;
    ZeroMemory(&system, sizeof system);
    processorPlatform().GetSystemInfo(&system);
    if (system.dwProcessorType != PROCESSOR_INTEL_PENTIUM
        && system.dwProcessorType != ProcessorTypeAmd64) {
        TraceMessage("RDTSC instruction NOT present.\n");
        return 0;
    }
    if (!CallGuarded(ReadCounterOnce, nullptr)) {
        TraceMessage("RDTSC instruction NOT present.\n");
        return 0;
    }
    unsigned long long first = measurePlatform().ReadSerialisedTimeStamp();
    unsigned long long second = measurePlatform().ReadSerialisedTimeStamp();
    if (second > first) {
        TraceMessage("RDTSC instruction probably present.\n");
        return 1;
    }
    TraceMessage("RDTSC instruction NOT present.\n");
    return 0;
}

LONG IsNtPlatform()
{
    HMODULE kernel = processorPlatform().GetModuleHandleA("KERNEL32.DLL");
    if (kernel == nullptr)
        return 0;
    FARPROC entry = processorPlatform().GetProcAddress(kernel, "GetVersionExA");
    if (entry == nullptr)
        return 1;
    GetVersionExAProc getVersion = reinterpret_cast<GetVersionExAProc>(reinterpret_cast<void*>(entry));
    OSVERSIONINFOA version;
    ZeroMemory(&version, sizeof version);
    version.dwOSVersionInfoSize = sizeof version;
    if (!getVersion(&version))
        return 0;
    return version.dwPlatformId == VER_PLATFORM_WIN32_NT ? 1 : 0;
}

LONG DetectInterruptMask()
{
    return CallGuarded(MaskAndUnmaskInterrupts, nullptr) ? 1 : 0;
}

CycleCounter::CycleCounter() : low_(0), high_(0)
{
    if (DetectionDone == 0) {
        DetectionDone = 1;
        CounterPresent = DetectCycleCounter();
        NtPlatform = IsNtPlatform();
        InterruptMaskPermitted = NtPlatform ? 0 : DetectInterruptMask();
    }
}

void CycleCounter::sample()
{
    if (CounterPresent == 0) {
        low_ = 0;
        high_ = 0;
        return;
    }
    unsigned long long reading;
    if (NtPlatform == 0 && InterruptMaskPermitted != 0) {
        // Interrupts stay masked only from before the serialising step until after the read.
        MaskedRead read = {0, false};
        if (CallGuarded(ReadWithInterruptsMasked, &read)) {
            reading = read.count;
        } else {
            if (read.masked)
                CallGuarded(UnmaskInterruptsGuarded, nullptr);
            InterruptMaskPermitted = 0;
            reading = measurePlatform().ReadSerialisedTimeStamp();
        }
    } else {
        reading = measurePlatform().ReadSerialisedTimeStamp();
    }
    low_ = static_cast<DWORD>(reading);
    high_ = static_cast<DWORD>(reading >> 32);
}

unsigned long long CycleCounter::count() const
{
    return (static_cast<unsigned long long>(high_) << 32) | low_;
}
