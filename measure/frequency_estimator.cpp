#include "measure/frequency_estimator.h"

#include <math.h>

#include "measure/bracketed_reading.h"
#include "measure/cycle_counter.h"
#include "measure/measure_platform.h"
#include "measure/trace_message.h"

namespace {

unsigned long long SampleCounter(void* counter)
{
    CycleCounter* cycleCounter = static_cast<CycleCounter*>(counter);
    cycleCounter->sample();
    return cycleCounter->count();
}

// One sample: the cycles between two serialised counter readings that bracket a busy-wait of
// windowTicks performance-counter ticks, divided by the time that really passed between the
// readings, in hertz. A wait that overshoots its deadline, because the thread lost its
// processor near the end, adds cycles and time alike.
double TakeSample(CycleCounter& start, CycleCounter& end, LONGLONG windowTicks, LONGLONG frequency)
{
    decltype(&::QueryPerformanceCounter) query = measurePlatform().QueryPerformanceCounter;
    LARGE_INTEGER now;
    query(&now);
    LONGLONG deadline = static_cast<LONGLONG>(static_cast<ULONGLONG>(now.QuadPart) + static_cast<ULONGLONG>(windowTicks));
    const BracketedReading first = ReadBracketed(SampleCounter, &start, frequency);
    do {
        query(&now);
    } while (now.QuadPart < deadline);
    const BracketedReading second = ReadBracketed(SampleCounter, &end, frequency);
    LONGLONG cycles = static_cast<LONGLONG>(second.cycles - first.cycles);
    LONGLONG ticks = TicksBetween(first, second);
    if (ticks <= 0)
        return 0.0;
    return static_cast<double>(cycles) * static_cast<double>(frequency) / static_cast<double>(ticks);
}

} // namespace

int EstimateFrequency(double& mean, double& deviation, unsigned windowMs, unsigned refinementCap)
{
    unsigned refinements = 0;
    double deviationSum = 0.0;
    CycleCounter start;
    CycleCounter end;

    LARGE_INTEGER frequency;
    if (!measurePlatform().QueryPerformanceFrequency(&frequency))
        return 0;
    if (windowMs == 0)
        return 0;
    // The multiplication comes first, so no fraction of a tick per millisecond is lost.
    LONGLONG product = static_cast<LONGLONG>(static_cast<ULONGLONG>(frequency.QuadPart) * windowMs);
    LONGLONG windowTicks = product / 1000;

    double threshold = deviation;
    double runningMean = TakeSample(start, end, windowTicks, frequency.QuadPart);
    double currentDeviation;
    do {
        double sample = TakeSample(start, end, windowTicks, frequency.QuadPart);
        runningMean = (sample + runningMean) / 2.0;
        deviationSum = deviationSum + fabs(sample - runningMean);
        ++refinements;
        currentDeviation = deviationSum / static_cast<double>(refinements);
        // A comparison with a value that is not a number is false and ends the estimate.
    } while (currentDeviation > threshold && refinements < refinementCap);

    deviation = currentDeviation;
    mean = runningMean;
    TraceMessage("Estimated the processor clock frequency =%gHz, dev.=\xB1%gHz.\n", mean, deviation);
    return 1;
}
