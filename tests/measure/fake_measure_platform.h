#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "measure/measure_platform.h"
#include "support/platform_guard.h"

// Saves the measuring code's platform table and detection flags, and puts them back when the
// test ends, whatever fakes the test installed in between.
class MeasurePlatformScope {
public:
    MeasurePlatformScope();
    ~MeasurePlatformScope();
    MeasurePlatformScope(const MeasurePlatformScope&) = delete;
    MeasurePlatformScope& operator=(const MeasurePlatformScope&) = delete;

private:
    MeasurePlatformGuard platform_;
    LONG detectionDone_;
    LONG counterPresent_;
    LONG ntPlatform_;
    LONG interruptMaskPermitted_;
};

// A scripted clock for the measuring routines. The performance counter returns the scripted
// readings in order, then keeps advancing by counterStep from the last one. The time-stamp
// counter advances by cyclesPerCounterCall at each performance-counter call, so cycles stand
// for time spent waiting; plain and serialised reads return their scripted readings first.
// Every call is logged: F frequency query, C counter read, T time-stamp read, S serialised read.
struct FakeClock {
    BOOL frequencyResult = TRUE;
    LONGLONG frequency = 10000000;
    std::vector<LONGLONG> counterReadings;
    LONGLONG counter = 0;
    LONGLONG counterStep = 1;
    unsigned long long cycles = 0;
    unsigned long long cyclesPerCounterCall = 0;
    std::vector<unsigned long long> timeStampReadings;
    std::vector<unsigned long long> serialisedReadings;
    std::string log;

    size_t countOf(char call) const;
};

FakeClock& fakeClock();

// Resets the fake clock and points the performance counter and the time-stamp reads of the
// current platform table at it.
void installFakeClock();
