#include "fake_measure_platform.h"

#include <algorithm>

#include "measure/cycle_counter.h"

MeasurePlatformScope::MeasurePlatformScope()
    : platform_(),
      detectionDone_(DetectionDone),
      counterPresent_(CounterPresent),
      ntPlatform_(NtPlatform),
      interruptMaskPermitted_(InterruptMaskPermitted)
{
}

MeasurePlatformScope::~MeasurePlatformScope()
{
    DetectionDone = detectionDone_;
    CounterPresent = counterPresent_;
    NtPlatform = ntPlatform_;
    InterruptMaskPermitted = interruptMaskPermitted_;
}

size_t FakeClock::countOf(char call) const
{
    return static_cast<size_t>(std::count(log.begin(), log.end(), call));
}

FakeClock& fakeClock()
{
    static FakeClock clock;
    return clock;
}

namespace {

size_t nextCounterReading;
size_t nextTimeStampReading;
size_t nextSerialisedReading;

BOOL WINAPI FakeQueryPerformanceFrequency(LARGE_INTEGER* frequency)
{
    FakeClock& clock = fakeClock();
    clock.log += 'F';
    if (clock.frequencyResult)
        frequency->QuadPart = clock.frequency;
    return clock.frequencyResult;
}

BOOL WINAPI FakeQueryPerformanceCounter(LARGE_INTEGER* now)
{
    FakeClock& clock = fakeClock();
    clock.log += 'C';
    clock.cycles += clock.cyclesPerCounterCall;
    if (nextCounterReading < clock.counterReadings.size())
        clock.counter = clock.counterReadings[nextCounterReading++];
    else
        clock.counter = static_cast<LONGLONG>(static_cast<ULONGLONG>(clock.counter) + clock.counterStep);
    now->QuadPart = clock.counter;
    return TRUE;
}

unsigned long long FakeReadTimeStamp()
{
    FakeClock& clock = fakeClock();
    clock.log += 'T';
    if (nextTimeStampReading < clock.timeStampReadings.size())
        return clock.timeStampReadings[nextTimeStampReading++];
    return clock.cycles;
}

unsigned long long FakeReadSerialisedTimeStamp()
{
    FakeClock& clock = fakeClock();
    clock.log += 'S';
    if (nextSerialisedReading < clock.serialisedReadings.size())
        return clock.serialisedReadings[nextSerialisedReading++];
    return clock.cycles;
}

} // namespace

void installFakeClock()
{
    fakeClock() = FakeClock();
    nextCounterReading = 0;
    nextTimeStampReading = 0;
    nextSerialisedReading = 0;
    MeasurePlatform& platform = measurePlatform();
    platform.QueryPerformanceFrequency = FakeQueryPerformanceFrequency;
    platform.QueryPerformanceCounter = FakeQueryPerformanceCounter;
    platform.ReadTimeStamp = FakeReadTimeStamp;
    platform.ReadSerialisedTimeStamp = FakeReadSerialisedTimeStamp;
}
