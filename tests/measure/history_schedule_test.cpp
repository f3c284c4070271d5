// The history's schedule driven by a fake clock: each measurement takes its cost, each wait
// the time asked for.
#include <gtest/gtest.h>

#include <vector>

#include "measure/history/history_sampler.h"
#include "measure/history/history_schedule.h"

namespace {

struct Drive {
    double busyMs = 0.0;               // measuring, all processors together
    std::vector<DWORD> roundStarts;
    std::vector<LONG> measurements;    // per processor
    DWORD longestGapMs = 0;            // between two measurements of one processor
    LONG duringPause = 0;
};

// Runs the schedule from a clock reading near its wrap, for durationMs; paused from pauseFrom
// to pauseTo, milliseconds into the run.
Drive drive(LONG processors, DWORD costMs, DWORD durationMs, DWORD pauseFrom = 0, DWORD pauseTo = 0) {
    Drive result;
    result.measurements.assign(processors, 0);
    std::vector<DWORD> last(processors, 0);
    HistorySchedule schedule;
    StartHistorySchedule(schedule, processors, HistoryRoundPeriodMs(processors, costMs));
    const DWORD origin = 0xFFFFFFFFu - 5000; // the millisecond count wraps during the run
    DWORD elapsed = 0;
    while (elapsed < durationMs) {
        const bool paused = elapsed >= pauseFrom && elapsed < pauseTo;
        const HistoryStep step = NextHistoryStep(schedule, origin + elapsed, paused);
        if (!step.measure) {
            EXPECT_GT(step.waitMs, 0u) << "a wait of nothing would spin";
            elapsed += step.waitMs;
            continue;
        }
        if (paused)
            ++result.duringPause;
        if (step.newRound)
            result.roundStarts.push_back(schedule.roundStartMs - origin);
        const LONG k = step.processor;
        if (result.measurements[k] > 0 && elapsed - last[k] > result.longestGapMs)
            result.longestGapMs = elapsed - last[k];
        ++result.measurements[k];
        last[k] = elapsed;
        result.busyMs += costMs;
        elapsed += costMs;
    }
    return result;
}

TEST(HistoryScheduleTest, KeepsItsLoadWithinTwoPerCentAtAnyProcessorCount) {
    struct Case {
        LONG processors;
        DWORD costMs;
        DWORD roundMs; // expected
    } cases[] = {
        {1, 35, 3500},     // a 1.19 MHz performance counter: measured less often
        {2, 6, 1000},
        {64, 6, 1000},
        {2048, 6, 24750},  // one thread gets through them in half a round
        {2, 11, 1250},     // a slow measurement: a little less often
    };
    for (const Case& c : cases) {
        const DWORD period = HistoryRoundPeriodMs(c.processors, c.costMs);
        EXPECT_EQ(c.roundMs, period) << c.processors << " processors";
        const Drive run = drive(c.processors, c.costMs, 10 * period);
        const double capacityMs = 10.0 * period * c.processors;
        EXPECT_LE(run.busyMs / capacityMs, 0.02) << c.processors << " processors";
        EXPECT_LE(run.busyMs / (10.0 * period), 0.5) << c.processors << " processors: the one thread's share";
        for (LONG k = 0; k < c.processors; ++k)
            ASSERT_EQ(10, run.measurements[k]) << c.processors << " processors, processor " << k;
        EXPECT_LE(run.longestGapMs, period + c.costMs) << c.processors << " processors";
    }
}

TEST(HistoryScheduleTest, MeasuresNothingDuringATestAndLeavesAGap) {
    const DWORD period = HistoryRoundPeriodMs(4, 6);
    const Drive run = drive(4, 6, 10000, 3300, 6100);
    EXPECT_EQ(0, run.duringPause);
    bool gapSeen = false;
    for (size_t k = 1; k < run.roundStarts.size(); ++k) {
        const DWORD gap = run.roundStarts[k] - run.roundStarts[k - 1];
        if (!RoundsJoin(gap, period)) {
            gapSeen = true;
            EXPECT_GE(run.roundStarts[k], 6100u) << "the first round after the test";
            EXPECT_LE(run.roundStarts[k], 6100u + HistoryPausePollMs) << "starts as soon as the test ends";
        }
    }
    EXPECT_TRUE(gapSeen);
}

// One slow measurement, of half a second or of a suspend that lasted days, leaves the rounds
// at a second; slow ones in a row lengthen them, never past the longest round.
TEST(HistoryScheduleTest, OneSlowMeasurementLeavesTheRoundsAsTheyWere) {
    for (double slowMs : {500.0, 4e10}) {
        HistoryCosts costs = {};
        const double costsMs[] = {6.2, slowMs, 6.4, slowMs, slowMs};
        const DWORD roundsMs[] = {1000, 1000, 1000, 1000, HistoryLongestRoundMs};
        for (int k = 0; k < 5; ++k) {
            NoteHistoryCost(costs, costsMs[k]);
            EXPECT_EQ(roundsMs[k], HistoryRoundPeriodMs(2, UsualHistoryCostMs(costs))) << slowMs << " ms, " << k;
        }
    }
}

// A pair a second (10 MHz, 3 GHz): the rate is known (K) from the third, and unknown (0) a
// while, never wrong, where from second 10 on the counter restarts after a sleep (unnoticed,
// noticed) or every other pair comes from a processor whose counter is 7e9 cycles ahead.
TEST(HistoryScheduleTest, TheTimeStampRateIsRightOrUnknownWhenTheCounterJumps) {
    const char* cases[] = {"00KKKKKKK00KKKKKKKKK", "00KKKKKKKKKKKKKKKKKK", "00KKKKKKKK0000000000"};
    for (int c = 0; c < 3; ++c) {
        TimeStampAnchor anchor = {};
        LONG rate = 0;
        for (int s = 1; s <= 20; ++s) {
            const unsigned long long jump = s < 10 ? 0 : c == 2 ? s % 2 * 7000000000ull : 0ull - 29999999000ull;
            if (c == 1 && s == 10)
                anchor.pairs = 0;
            rate = NoteTimeStampPair(anchor, rate, 10000000LL * s, 3000000000ull * s + jump, 10000000);
            EXPECT_EQ(cases[c][s - 1] == 'K' ? 3000000 : 0, rate) << cases[c] << ", second " << s;
        }
    }
}

}  // namespace
