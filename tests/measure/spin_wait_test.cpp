#include <gtest/gtest.h>

#include "fake_measure_platform.h"
#include "measure/cycles_of_call.h"
#include "measure/spin_wait.h"

namespace {

class SpinWaitTest : public ::testing::Test {
protected:
    void SetUp() override { installFakeClock(); }
    MeasurePlatformScope scope_;
};

struct SpinCase {
    const char* name;
    int milliseconds;
    LONGLONG frequency;
    LONGLONG startReading;
    LONGLONG counterStep;
    size_t counterReads; // including the start reading
};

TEST_F(SpinWaitTest, SpinWaitReadsUntilTheTicksHavePassed)
{
    const SpinCase cases[] = {
        {"50 ms at 10 MHz is 500,000 ticks", 50, 10000000, 0, 1000, 1 + 500},
        {"a step that overshoots", 50, 10000000, 0, 999, 1 + 501},
        {"3,579,545 Hz waits 3,579 ticks per ms", 1, 3579545, 0, 1, 1 + 3579},
        {"0 ms returns after its first reading", 0, 10000000, 0, 1, 1 + 1},
        {"across the sign of the counter", 1, 10000000, 0x7FFFFFFFFFFFFF00LL, 100, 1 + 100},
        {"ms taken as unsigned: -1 is 4,294,967,295 ms", -1, 1000, 0, 0x80000000LL, 1 + 2},
    };
    for (const SpinCase& c : cases) {
        installFakeClock();
        fakeClock().frequency = c.frequency;
        fakeClock().counterReadings = {c.startReading};
        fakeClock().counter = c.startReading;
        fakeClock().counterStep = c.counterStep;
        SpinWait(c.milliseconds);
        EXPECT_EQ("F" + std::string(c.counterReads, 'C'), fakeClock().log) << c.name;
    }
}

TEST_F(SpinWaitTest, SpinWaitOverheadReadsOnlyWhileTheElapsedCountEqualsTheTarget)
{
    struct Case {
        const char* name;
        int milliseconds;
        std::vector<LONGLONG> readings;
        size_t counterReads;
    } cases[] = {
        {"returns after one reading past the start", 50, {0, 7}, 2},
        {"a reading that hits the target exactly", 1, {0, 10000, 10000, 10001}, 4},
        {"0 ms waits for the counter to advance", 0, {5, 5, 5, 6}, 4},
    };
    for (const Case& c : cases) {
        installFakeClock();
        fakeClock().counterReadings = c.readings;
        SpinWaitOverhead(c.milliseconds);
        EXPECT_EQ("F" + std::string(c.counterReads, 'C'), fakeClock().log) << c.name;
    }
}

TEST_F(SpinWaitTest, BothReturnAtOnceWhenTheFrequencyCannotBeRead)
{
    fakeClock().frequencyResult = FALSE;
    SpinWait(50);
    SpinWaitOverhead(50);
    EXPECT_EQ("FF", fakeClock().log);
}

void ReturnAtOnce(int)
{
}

void Fault(int)
{
    RaiseException(STATUS_ILLEGAL_INSTRUCTION, EXCEPTION_NONCONTINUABLE, 0, nullptr);
}

TEST_F(SpinWaitTest, CyclesOfCallCountsAcrossTheCallModuloTwoToThe64)
{
    fakeClock().counterStep = 1000;
    fakeClock().cyclesPerCounterCall = 1000;
    fakeClock().cycles = 0xFFFFFFFFFFFFF000ULL; // wraps during the call
    EXPECT_EQ(501 * 1000ULL, CyclesOfCall(SpinWait, 50));
    EXPECT_EQ("TF" + std::string(501, 'C') + "T", fakeClock().log) << "read, call, read; no serialisation";
    EXPECT_EQ(0ULL, CyclesOfCall(ReturnAtOnce, 0));
}

TEST_F(SpinWaitTest, CyclesOfCallGivesAllOnesWhenTheRoutineFaults)
{
    EXPECT_EQ(CyclesOfFaultedCall, CyclesOfCall(Fault, 0));
    EXPECT_EQ(0xFFFFFFFFFFFFFFFFULL, CyclesOfFaultedCall);
    fakeClock().cyclesPerCounterCall = 3;
    EXPECT_EQ(6ULL, CyclesOfCall(SpinWaitOverhead, 0)) << "a call after a fault counts as before";
}

} // namespace
