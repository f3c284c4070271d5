#pragma once

#include <windows.h>

#include <functional>
#include <map>
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
// for time spent waiting, and by cyclesPerTimeStampRead at each of its own unserialised reads;
// plain and serialised reads return their scripted readings first.
//
// Chain runs take time: a run of p passes of a chain of n links takes
//   (chainFixedCycles + p × (chainPassCycles + n × chainCyclesPerLink)) / coreMhz
// microseconds, plus what stretchMicroseconds says the system took away during it. The
// time-stamp counter advances by that time at timeStampMhz, rounded to a whole cycle, and the
// performance counter shows the time passed (in chain runs and in secondsPerCounterCall for
// each of its reads) in whole ticks at frequency, on top of its steps. With coreMhz 0 the
// runs take no time.
//
// Every call is logged: F frequency query, C counter read, T time-stamp read, S serialised
// read, A run of the short chain, L run of the long chain.
struct FakeClock {
    BOOL frequencyResult = TRUE;
    LONGLONG frequency = 10000000;
    std::vector<LONGLONG> counterReadings;
    LONGLONG counter = 0;
    LONGLONG counterStep = 1;
    unsigned long long cycles = 0;
    unsigned long long cyclesPerCounterCall = 0;
    unsigned long long cyclesPerTimeStampRead = 0;
    std::vector<unsigned long long> timeStampReadings;
    std::vector<unsigned long long> serialisedReadings;

    double coreMhz = 0.0;
    double timeStampMhz = 0.0;
    double chainFixedCycles = 0.0;
    double chainPassCycles = 0.0;
    double chainCyclesPerLink = 1.0;
    // Microseconds added to the index-th run (from 0) of the long chain or of the short one.
    std::function<double(bool longChain, size_t index)> stretchMicroseconds;
    size_t shortRuns = 0;
    size_t longRuns = 0;
    double secondsPerCounterCall = 0.0;
    double seconds = 0.0;

    std::string log;

    size_t countOf(char call) const;
};

FakeClock& fakeClock();

// Resets the fake clock and points the performance counter, the time-stamp reads and the
// chain runs of the current platform table at it.
void installFakeClock();

// Makes the measuring code see a processor with this CPUID signature, or without CPUID
// (signature null) one of this GetSystemInfo processor type.
void installFakeProcessor(const ProcessorSignature* signature, DWORD processorType);

// Makes the measuring code see a processor whose CPUID answers each leaf with the registers
// given for it, and every other leaf with zeros; with no leaves at all, a processor without
// CPUID.
void installFakeCpuid(const std::map<unsigned, CpuidLeaf>& leaves);

// The CPUID leaves that carry a text of sixteen characters from leaf first on (eax, ebx, ecx,
// edx of each), as the brand string is laid out.
void putCpuidText(std::map<unsigned, CpuidLeaf>& leaves, unsigned first, const char* text, size_t leafCount);

// CPUID leaf 0: the highest basic leaf and the twelve characters of the vendor string, which
// CPUID gives in ebx, edx, ecx.
CpuidLeaf vendorLeaf(unsigned highest, const char* vendor);
