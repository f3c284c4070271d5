#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "fake_measure_platform.h"
#include "measure/cycle_counter.h"
#include "measure/frequency_estimator.h"

namespace {

void WINAPI GetSystemInfoOf486(SYSTEM_INFO* system)
{
    system->dwProcessorType = PROCESSOR_INTEL_486;
}

// A window of 1000 ms makes a sample's frequency in hertz equal to its cycle difference. The
// performance counter runs at 1000 ticks per second. Each sample reads it once for its
// deadline, twice around its first serialised counter read, once in its spin (a whole window
// on), and twice around its second read; samples follow one another by a window.
class FrequencyEstimatorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        installFakeClock();
        fakeClock().frequency = 1000;
        DetectionDone = 1;
        CounterPresent = 1;
        NtPlatform = 1;
    }

    void samples(std::initializer_list<double> hertz)
    {
        for (double f : hertz) {
            const LONGLONG start = 1000 * static_cast<LONGLONG>(fakeClock().serialisedReadings.size() / 2);
            for (LONGLONG reading : {start, start, start, start + 1000, start + 1000, start + 1000})
                fakeClock().counterReadings.push_back(reading);
            fakeClock().serialisedReadings.push_back(1000000);
            fakeClock().serialisedReadings.push_back(1000000 + static_cast<unsigned long long>(f));
        }
    }

    MeasurePlatformScope scope_;
};

struct StopCase {
    const char* name;
    std::initializer_list<double> samples;
    double threshold;
    unsigned cap;
    double expectedMean;
    double expectedDeviation;
    size_t expectedSamples;
};

TEST_F(FrequencyEstimatorTest, RunningMeanDeviationAndStopRules)
{
    const StopCase cases[] = {
        {"100, 110, 90 up to the cap of 2", {100, 110, 90}, 0.0, 2, 97.5, 6.25, 3},
        {"a cap of 0 still refines once", {100, 110, 90}, 0.0, 0, 105.0, 5.0, 2},
        {"a threshold equal to the deviation stops", {100, 110, 90}, 5.0, 9, 105.0, 5.0, 2},
        {"a threshold just below it goes on", {100, 110, 90}, 4.999, 2, 97.5, 6.25, 3},
        {"a deviation under the threshold stops", {100, 100, 100}, 1.0, 9, 100.0, 0.0, 2},
    };
    for (const StopCase& c : cases) {
        installFakeClock();
        fakeClock().frequency = 1000;
        samples(c.samples);
        double mean = -1.0;
        double deviation = c.threshold;
        EXPECT_EQ(1, EstimateFrequency(mean, deviation, 1000, c.cap)) << c.name;
        EXPECT_DOUBLE_EQ(c.expectedMean, mean) << c.name;
        EXPECT_DOUBLE_EQ(c.expectedDeviation, deviation) << c.name;
        EXPECT_EQ(2 * c.expectedSamples, fakeClock().countOf('S')) << c.name;
    }
}

TEST_F(FrequencyEstimatorTest, ANotANumberThresholdStopsAtTheFirstRefinement)
{
    samples({100, 110, 90});
    double mean = 0.0;
    double deviation = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(1, EstimateFrequency(mean, deviation, 1000, 9));
    EXPECT_EQ(4u, fakeClock().countOf('S'));
    EXPECT_DOUBLE_EQ(105.0, mean);
}

TEST_F(FrequencyEstimatorTest, EachSampleSpinsOverTheWindowInTicksMultipliedFirst)
{
    // 3,579,545 ticks per second: 50 ms is 178,977 ticks (178,950 if divided first).
    fakeClock().frequency = 3579545;
    fakeClock().counterReadings = {0, 0, 0, 178976, 178977, 178977, 178977,
                                   500000, 500000, 500000, 678976, 678977, 678977, 678977};
    fakeClock().serialisedReadings = {0, 100000, 0, 100000};
    double mean = 0.0;
    double deviation = 1.0;
    EXPECT_EQ(1, EstimateFrequency(mean, deviation, 50, 1));
    const std::string sample = "C" "CSC" "CC" "CSC";
    EXPECT_EQ("F" + sample + sample, fakeClock().log);
    EXPECT_DOUBLE_EQ(100000.0 * 3579545.0 / 178977.0, mean) << "100,000 cycles in 178,977 ticks";
}

TEST_F(FrequencyEstimatorTest, ASampleDividesByTheTimeThatPassedBetweenItsReadings)
{
    // 1000 cycles a second; the stretched bracket's first reading is taken at its start.
    struct Case {
        const char* name;
        std::vector<LONGLONG> counterReadings; // one sample's
        std::vector<unsigned long long> serialisedReadings;
    } cases[] = {
        {"a spin that overshoots its window by 30%", {0, 0, 0, 1300, 1300, 1300}, {0, 1300}},
        {"a thread preempted inside a bracket reads it again", {0, 0, 0, 1000, 1000, 1400, 1400, 1400},
         {0, 1000, 1400}},
    };
    for (const Case& c : cases) {
        installFakeClock();
        fakeClock().frequency = 1000;
        for (int sample = 0; sample < 2; ++sample) {
            FakeClock& clock = fakeClock();
            clock.counterReadings.insert(clock.counterReadings.end(), c.counterReadings.begin(), c.counterReadings.end());
            clock.serialisedReadings.insert(clock.serialisedReadings.end(), c.serialisedReadings.begin(),
                                            c.serialisedReadings.end());
        }
        double mean = 0.0;
        double deviation = 1.0;
        EXPECT_EQ(1, EstimateFrequency(mean, deviation, 1000, 1)) << c.name;
        EXPECT_DOUBLE_EQ(1000.0, mean) << c.name;
    }
}

TEST_F(FrequencyEstimatorTest, ACounterDifferenceIsTakenAsSigned)
{
    fakeClock().serialisedReadings = {10, 5, 10, 5};
    double mean = 0.0;
    double deviation = 1.0;
    EXPECT_EQ(1, EstimateFrequency(mean, deviation, 1000, 1));
    EXPECT_DOUBLE_EQ(-5.0, mean);
}

TEST_F(FrequencyEstimatorTest, ACounterThatReadsZeroGivesZeroAfterTwoSamples)
{
    DetectionDone = 0;
    processorPlatform().GetSystemInfo = GetSystemInfoOf486;
    samples({0, 0, 0});
    double mean = -1.0;
    double deviation = 1.0;
    EXPECT_EQ(1, EstimateFrequency(mean, deviation, 1000, 4));
    EXPECT_EQ(0, CounterPresent) << "the estimate ran the detections";
    EXPECT_EQ(0.0, mean);
    EXPECT_EQ(0.0, deviation);
    EXPECT_EQ(0u, fakeClock().countOf('S')) << "an absent counter is not read";
    EXPECT_EQ(2u * 6u, fakeClock().countOf('C')) << "two samples";
}

TEST_F(FrequencyEstimatorTest, NoFrequencyOrNoWindowLeavesBothOutputsAlone)
{
    struct Case {
        const char* name;
        BOOL frequencyResult;
        unsigned windowMs;
    } cases[] = {
        {"failing frequency query", FALSE, 50},
        {"window of 0 ms", TRUE, 0},
    };
    for (const Case& c : cases) {
        installFakeClock();
        fakeClock().frequencyResult = c.frequencyResult;
        samples({100, 110});
        double mean = 0.0;
        double deviation = 1.0;
        EXPECT_EQ(0, EstimateFrequency(mean, deviation, c.windowMs, 1)) << c.name;
        EXPECT_EQ(0.0, mean) << c.name;
        EXPECT_EQ(1.0, deviation) << c.name;
        EXPECT_EQ(0u, fakeClock().countOf('S')) << c.name << ": no sample taken";
    }
}

} // namespace
