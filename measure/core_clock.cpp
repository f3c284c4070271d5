#include "measure/core_clock.h"

#include "measure/chain_timing.h"
#include "measure/cycles_per_link.h"
#include "measure/fault_guard.h"
#include "measure/measure_platform.h"
#include "processor/processor_platform.h"

namespace {

unsigned long long ReadPerformanceCounter()
{
    LARGE_INTEGER now;
    measurePlatform().QueryPerformanceCounter(&now);
    return static_cast<unsigned long long>(now.QuadPart);
}

struct CoreClockMeasurement {
    ChainClock clock;
    const ChainSchedule* schedule;
    double mhz;
};

void MeasureGuarded(void* context)
{
    CoreClockMeasurement* measurement = static_cast<CoreClockMeasurement*>(context);
    measurement->mhz = MeasureChainClock(measurement->clock, *measurement->schedule, ProcessorCyclesPerLink());
}

} // namespace

double ProcessorCyclesPerLink()
{
    ProcessorSignature signature;
    if (processorPlatform().ReadProcessorSignature(&signature))
        return CyclesPerLink(&signature, 0);
    SYSTEM_INFO system;
    ZeroMemory(&system, sizeof system);
    processorPlatform().GetSystemInfo(&system);
    return CyclesPerLink(nullptr, system.dwProcessorType);
}

double MeasureCoreClock(double timeStampMhz)
{
    CoreClockMeasurement measurement = {
        {nullptr, 0.0, measurePlatform().RunShortChain, measurePlatform().RunLongChain}, nullptr, 0.0};
    if (timeStampMhz > 0.0) {
        // Read without serialisation: under a hypervisor CPUID leaves the processor to the
        // host, and the chains' fixed costs cancel anyway.
        measurement.clock.read = measurePlatform().ReadTimeStamp;
        measurement.clock.ticksPerSecond = timeStampMhz * 1e6;
        measurement.schedule = &FineSchedule;
    } else {
        LARGE_INTEGER frequency;
        if (!measurePlatform().QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0)
            return 0.0;
        measurement.clock.read = ReadPerformanceCounter;
        measurement.clock.ticksPerSecond = static_cast<double>(frequency.QuadPart);
        measurement.schedule = &CoarseSchedule;
    }
    if (!CallGuarded(MeasureGuarded, &measurement))
        return 0.0;
    return measurement.mhz;
}
