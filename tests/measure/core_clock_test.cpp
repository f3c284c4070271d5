#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "fake_measure_platform.h"
#include "measure/core_clock.h"
#include "measure/dependent_chain.h"

namespace {

const ProcessorSignature AlderLake = {true, 6, 0x97};
const DWORD ProcessorTypeAmd64 = 8664;

class CoreClockTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        installFakeClock();
        installFakeProcessor(&AlderLake, ProcessorTypeAmd64);
    }
    MeasurePlatformScope scope_;
};

// A processor at 4,000 MHz whose time-stamp counter runs at 2,000 MHz: every run of a chain
// costs 30,000 fixed cycles and 40 a pass besides its links, and each counter read costs cycles
// of its own. All of it cancels, to the last bit.
void UseTimeStampBase()
{
    FakeClock& clock = fakeClock();
    clock.timeStampMhz = 2000.0;
    clock.coreMhz = 4000.0;
    clock.chainFixedCycles = 30000.0;
    clock.chainPassCycles = 40.0;
    clock.cyclesPerTimeStampRead = 25;
}

TEST_F(CoreClockTest, KnownOverheadsCancelToTheExactClockAndStretchedWindowsAreIgnored)
{
    UseTimeStampBase();
    EXPECT_DOUBLE_EQ(4000.0, MeasureCoreClock(2000.0));
    EXPECT_GT(0.010, fakeClock().seconds) << "the time the chains took";

    installFakeClock();
    UseTimeStampBase();
    // Every third long window and every fifth short one loses 40 µs to something else.
    fakeClock().stretchMicroseconds = [](bool longChain, size_t index) {
        return index % (longChain ? 3 : 5) == 1 ? 40.0 : 0.0;
    };
    EXPECT_DOUBLE_EQ(4000.0, MeasureCoreClock(2000.0)) << "best of the windows";
}

// The round a chain run belongs to, counted from 0, with 15 windows a round: the short chain's
// windows are counted as they run, and each long window follows its round's short one.
// Calibration runs come before any short window and belong to no round.
size_t RoundOf(bool longChain, size_t index)
{
    if (!longChain)
        return index / 15;
    const size_t shortRuns = fakeClock().shortRuns;
    return shortRuns == 0 ? ~static_cast<size_t>(0) : (shortRuns - 1) / 15;
}

TEST_F(CoreClockTest, RoundsSpoiledInEveryWindowDoNotMoveTheMedian)
{
    struct Case {
        const char* name;
        std::vector<size_t> shortSpoiled; // rounds whose every short window is stretched
        std::vector<size_t> longSpoiled;  // and every long one
        bool moved;
    } cases[] = {
        {"one round too high", {1}, {}, false},
        {"one too high, one too low", {1}, {3}, false},
        {"two too low", {}, {0, 4}, false},
        {"three of five too high: the median moves", {0, 2, 4}, {}, true},
    };
    for (const Case& c : cases) {
        installFakeClock();
        UseTimeStampBase();
        fakeClock().stretchMicroseconds = [&c](bool longChain, size_t index) {
            const std::vector<size_t>& spoiled = longChain ? c.longSpoiled : c.shortSpoiled;
            const size_t round = RoundOf(longChain, index);
            return std::find(spoiled.begin(), spoiled.end(), round) != spoiled.end() ? 10.0 : 0.0;
        };
        const double mhz = MeasureCoreClock(2000.0);
        if (c.moved)
            EXPECT_GT(mhz, 4400.0) << c.name;
        else
            EXPECT_DOUBLE_EQ(4000.0, mhz) << c.name;
    }
}

// The 80386 and 80486 have no time-stamp counter: their chains are timed by the performance
// counter, at 1.19 MHz on Windows 95. The windows start at any phase of its ticks: here at 400
// phases, with reads that cost 0.2 µs or 7 µs and with three degrees of jitter.
TEST_F(CoreClockTest, OnTheCoarsePerformanceCounterTheResolutionAddsAtMostFiveInTenThousand)
{
    struct Case {
        const char* name;
        DWORD processorType;
        double cyclesPerLink;
        double passCycles;
        double coreMhz;
    } cases[] = {
        {"80386 at 16 MHz", PROCESSOR_INTEL_386, 2.0, 10.0, 16.0},
        {"80386 at 40 MHz", PROCESSOR_INTEL_386, 2.0, 10.0, 40.0},
        {"80486 at 33 MHz", PROCESSOR_INTEL_486, 1.0, 4.0, 33.0},
        {"80486 at 100 MHz", PROCESSOR_INTEL_486, 1.0, 4.0, 100.0},
    };
    for (const Case& c : cases) {
        installFakeProcessor(nullptr, c.processorType);
        double worst = 0.0;
        double longest = 0.0;
        for (int phase = 0; phase < 400; ++phase) {
            installFakeClock();
            FakeClock& clock = fakeClock();
            clock.frequency = 1193182;
            clock.counterStep = 0;
            clock.seconds = phase * 37.1e-6;
            clock.secondsPerCounterCall = phase % 2 ? 7e-6 : 0.2e-6;
            clock.coreMhz = c.coreMhz;
            clock.chainCyclesPerLink = c.cyclesPerLink;
            clock.chainPassCycles = c.passCycles;
            clock.chainFixedCycles = 150.0;
            const double jitter = phase % 3 * 0.3;
            clock.stretchMicroseconds = [phase, jitter](bool, size_t index) {
                return jitter * static_cast<double>((index + phase) * 7919 % 13) / 13.0;
            };
            const double start = clock.seconds;
            const double error = std::fabs(MeasureCoreClock(0.0) / c.coreMhz - 1.0);
            worst = std::max(worst, error);
            longest = std::max(longest, clock.seconds - start);
        }
        EXPECT_GT(0.0005, worst) << c.name;
        EXPECT_GT(0.035, longest) << c.name << ": the time a measurement took, at most";
    }
}

TEST_F(CoreClockTest, WhatCannotBeMeasuredGivesZero)
{
    struct Case {
        const char* name;
        double timeStampMhz;
        double coreMhz;
        BOOL frequencyResult;
        LONGLONG counterStep;
    } cases[] = {
        {"a time-stamp counter that stands still", 2000.0, 0.0, TRUE, 1},
        {"no performance-counter frequency", 0.0, 4000.0, FALSE, 1},
        {"a performance counter that stands still", 0.0, 0.0, TRUE, 0},
    };
    for (const Case& c : cases) {
        installFakeClock();
        FakeClock& clock = fakeClock();
        clock.timeStampMhz = 2000.0;
        clock.coreMhz = c.coreMhz;
        clock.frequencyResult = c.frequencyResult;
        clock.counterStep = c.counterStep;
        EXPECT_EQ(0.0, MeasureCoreClock(c.timeStampMhz)) << c.name;
        EXPECT_GT(20000u, clock.log.size()) << c.name << ": gives up soon";
    }
}

void FaultingLongChain(unsigned)
{
    RaiseException(STATUS_ILLEGAL_INSTRUCTION, EXCEPTION_NONCONTINUABLE, 0, nullptr);
}

TEST_F(CoreClockTest, AFaultInsideTheChainGivesZero)
{
    UseTimeStampBase();
    measurePlatform().RunLongChain = FaultingLongChain;
    EXPECT_EQ(0.0, MeasureCoreClock(2000.0));
}

TEST_F(CoreClockTest, CyclesPerLinkByProcessor)
{
    struct Case {
        const char* name;
        bool cpuid;
        ProcessorSignature signature;
        DWORD processorType;
        double cycles;
    } cases[] = {
        {"80386, no CPUID", false, {}, PROCESSOR_INTEL_386, 2.0},
        {"80486, no CPUID", false, {}, PROCESSOR_INTEL_486, 1.0},
        {"80486 with CPUID", true, {true, 4, 8}, PROCESSOR_INTEL_486, 1.0},
        {"Pentium 4 Willamette", true, {true, 15, 0}, PROCESSOR_INTEL_PENTIUM, 0.5},
        {"Pentium 4 Willamette, model 1", true, {true, 15, 1}, PROCESSOR_INTEL_PENTIUM, 0.5},
        {"Pentium 4 Northwood, Gallatin", true, {true, 15, 2}, PROCESSOR_INTEL_PENTIUM, 0.5},
        {"Pentium 4 Prescott", true, {true, 15, 3}, PROCESSOR_INTEL_PENTIUM, 1.0},
        {"Pentium 4 Prescott 2M", true, {true, 15, 4}, PROCESSOR_INTEL_PENTIUM, 1.0},
        {"AMD family 15 (K8), model 2", true, {false, 15, 2}, PROCESSOR_INTEL_PENTIUM, 1.0},
        {"Intel family 6, Alder Lake", true, AlderLake, ProcessorTypeAmd64, 1.0},
        {"AMD family 0x19, Zen 3", true, {false, 0x19, 0x01}, ProcessorTypeAmd64, 1.0},
    };
    for (const Case& c : cases) {
        installFakeProcessor(c.cpuid ? &c.signature : nullptr, c.processorType);
        EXPECT_EQ(c.cycles, ProcessorCyclesPerLink()) << c.name;
    }
}

} // namespace
