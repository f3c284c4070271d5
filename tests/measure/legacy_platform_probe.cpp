// A program of its own, started by the tests with the system reporting a chosen platform
// version. It runs the one-time detections, two counter samples and a short estimate, and
// reports what it saw in its exit code: LegacyProbeRan plus the LegacyProbe* bits. A crash
// ends it with the fault's code instead.
#include "legacy_platform_probe.h"

#include "measure/cycle_counter.h"
#include "measure/frequency_estimator.h"

int main()
{
    CycleCounter counter;
    int status = LegacyProbeRan;
    if (CounterPresent)
        status |= LegacyProbeCounterPresent;
    if (NtPlatform)
        status |= LegacyProbeNtPlatform;
    if (InterruptMaskPermitted)
        status |= LegacyProbeMaskPermitted;
    counter.sample();
    unsigned long long first = counter.count();
    counter.sample();
    if (counter.count() > first)
        status |= LegacyProbeSamplesAdvance;
    double mean = 0.0;
    double deviation = 1.0;
    if (EstimateFrequency(mean, deviation, 10, 1) == 1 && mean > 0.0)
        status |= LegacyProbeEstimated;
    return status;
}
