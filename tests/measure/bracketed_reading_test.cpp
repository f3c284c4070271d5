#include <gtest/gtest.h>

#include <vector>

#include "fake_measure_platform.h"
#include "measure/bracketed_reading.h"
#include "measure/multiply_divide.h"

namespace {

unsigned long long ReadFakeTimeStamp(void*)
{
    return measurePlatform().ReadTimeStamp();
}

TEST(BracketedReadingTest, AStretchedBracketIsReadAgainAndTheNarrowestKept)
{
    struct Case {
        const char* name;
        LONGLONG frequency;
        std::vector<LONGLONG> counterReadings;
        size_t expectedReadings;
        LONGLONG expectedBefore;
        LONGLONG expectedAfter;
        unsigned long long expectedCycles; // the reading taken inside the bracket kept
    } cases[] = {
        {"a narrow bracket is taken at once", 10000000, {100, 101}, 1, 100, 101, 11},
        {"10 us at 10 MHz is still narrow", 10000000, {100, 200}, 1, 100, 200, 11},
        {"a wider one is read again", 10000000, {100, 201, 300, 301}, 2, 300, 301, 12},
        {"2 ticks of a slow counter are narrow", 100000, {5, 7}, 1, 5, 7, 11},
        {"every bracket stretched: the narrowest of all",
         10000000,
         {0, 900, 1000, 1300, 2000, 2600, 3000, 3700, 4000, 4900, 5000, 5500, 6000, 7000, 8000, 9000},
         BracketAttempts, 1000, 1300, 12},
    };
    for (const Case& c : cases) {
        MeasurePlatformScope scope;
        installFakeClock();
        fakeClock().counterReadings = c.counterReadings;
        fakeClock().timeStampReadings = {11, 12, 13, 14, 15, 16, 17, 18, 19};
        const BracketedReading reading = ReadBracketed(ReadFakeTimeStamp, nullptr, c.frequency);
        EXPECT_EQ(c.expectedReadings, fakeClock().countOf('T')) << c.name;
        EXPECT_EQ(c.expectedBefore, reading.before) << c.name;
        EXPECT_EQ(c.expectedAfter, reading.after) << c.name;
        EXPECT_EQ(c.expectedCycles, reading.cycles) << c.name;
    }
}

TEST(BracketedReadingTest, TheTimeBetweenTwoReadingsRunsFromEndToEnd)
{
    const BracketedReading first = {0, 10, 13};
    const BracketedReading second = {0, 1010, 1012};
    EXPECT_EQ(999, TicksBetween(first, second));
}

TEST(MultiplyDivideTest, TheProductIsExactBeyondSixtyFourBits)
{
    struct Case {
        const char* name;
        ULONGLONG a, b, c, expected;
    } cases[] = {
        {"7,200,000,000 cycles at 10 MHz over 3 s, in kHz", 7200000000ULL, 10000000ULL, 30000000000ULL, 2400000ULL},
        {"a quotient just below a whole number is truncated", 2000001999ULL, 10000000ULL, 10000000000ULL, 2000001ULL},
        {"40,000,000,000 cycles at a 4 GHz counter over 10 s", 40000000000ULL, 4000000000ULL, 40000000000000ULL,
         4000000ULL},
        {"the largest operands", ~0ULL, ~0ULL, ~0ULL, ~0ULL},
        {"2^126 divided by 2^64 - 1", 1ULL << 63, 1ULL << 63, ~0ULL, 1ULL << 62},
        {"zero", 0, 12345, 7, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, MultiplyDivide(c.a, c.b, c.c)) << c.name;
}

} // namespace
