#include "measure/frequency_estimator.h"

#include <math.h>

#include "measure/cycle_counter.h"
#include "measure/measure_platform.h"
#include "measure/trace_message.h"

namespace {

// One sample: the cycles between two serialised counter reads that bracket a busy-wait of
// windowTicks performance-counter ticks, scaled to hertz.
double TakeSample(CycleCounter& start, CycleCounter& end, LONGLONG windowTicks, unsigned windowMs)
{
    decltype(&::QueryPerformanceCounter) query = measurePlatform().QueryPerformanceCounter;
    LARGE_INTEGER now;
    query(&now);
    LONGLONG deadline = static_cast<LONGLONG>(static_cast<ULONGLONG>(now.QuadPart) + static_cast<ULONGLONG>(windowTicks));
    start.sample();
    do {
        query(&now);
    } while (now.QuadPart < deadline);
    end.sample();
    LONGLONG cycles = static_cast<LONGLONG>(end.count() - start.count());
    return static_cast<double>(cycles) * 1000.0 / static_cast<double>(windowMs);
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
    double runningMean = TakeSample(start, end, windowTicks, windowMs);
    double currentDeviation;
    do {
        double sample = TakeSample(start, end, windowTicks, windowMs);
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
