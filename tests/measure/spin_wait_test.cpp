#include <gtest/gtest.h>

#include "fake_measure_platform.h"
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

TEST_F(SpinWaitTest, SpinWaitReturnsAtOnceWhenTheFrequencyCannotBeRead)
{
    fakeClock().frequencyResult = FALSE;
    SpinWait(50);
    EXPECT_EQ("F", fakeClock().log);
}

} // namespace
