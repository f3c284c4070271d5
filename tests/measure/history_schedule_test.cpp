// The history's schedule driven by a fake clock: each measurement takes its cost, each wait
// the time asked for.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "measure/history_sampler.h"
#include "measure/history_schedule.h"

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

// One slow measurement among the latest, of half a second or of a suspend that lasted days,
// leaves the rounds as they were; costs that stay high lengthen them, but never past the
// longest round.
TEST(HistoryScheduleTest, OneSlowMeasurementLeavesTheRoundsAsTheyWere) {
    for (double slowMs : {500.0, 4e10}) {
        for (LONG processors : {1, 2, 64}) {
            const std::string which = std::to_string(processors) + " processors, " + std::to_string(slowMs) + " ms";
            HistoryCosts costs = {};
            const double series[] = {6.2, slowMs, 6.4, 5.9, 6.1, 6.3, 6.0};
            for (double ms : series) {
                NoteHistoryCost(costs, ms);
                EXPECT_EQ(1000u, HistoryRoundPeriodMs(processors, UsualHistoryCostMs(costs))) << which;
            }
            for (int k = 0; k < 3; ++k)
                NoteHistoryCost(costs, slowMs);
            EXPECT_EQ(HistoryLongestRoundMs, HistoryRoundPeriodMs(processors, UsualHistoryCostMs(costs))) << which;
        }
    }
    EXPECT_EQ(HistoryLongestRoundMs, HistoryRoundPeriodMs(2048, 35));
    EXPECT_EQ(HistoryLongestRoundMs, HistoryRoundPeriodMs(2, 0xFFFFFFFFu)) << "no arithmetic overflows";
}

// The counter's rate from a pair a second (a 10 MHz performance counter, a 3 GHz time-stamp
// counter): known after two seconds, and afterwards always either that or, for a while after
// the counter jumped, unknown (0), never anything else.
TEST(HistoryScheduleTest, TheTimeStampRateIsRightOrUnknownWhenTheCounterJumps) {
    const LONG Khz = 3000000;
    struct Case {
        const char* name;
        // The time-stamp counter's offset at second s, and whether the anchor is forgotten
        // (the system resumed) before that pair.
        unsigned long long (*offset)(int s);
        bool resumeAt10;
        LONG rateAtEnd; // expected
    } cases[] = {
        {"steady", [](int) { return 0ull; }, false, Khz},
        {"restarted by a sleep", [](int s) { return s < 10 ? 0ull : 0ull - 29999999000ull; }, false, Khz},
        {"restarted, with the resume noticed", [](int s) { return s < 10 ? 0ull : 0ull - 29999999000ull; }, true,
         Khz},
        {"from two processors whose counters disagree",
         [](int s) { return s >= 6 && s % 2 != 0 ? 7000000000ull : 0ull; }, false, 0},
    };
    for (const Case& c : cases) {
        TimeStampAnchor anchor = {};
        LONG rate = 0;
        for (int s = 1; s <= 20; ++s) {
            if (c.resumeAt10 && s == 10)
                anchor.pairs = 0;
            const LONGLONG counter = 10000000LL * s;
            const unsigned long long stamp = 3000000000ull * s + c.offset(s);
            rate = NoteTimeStampPair(anchor, rate, counter, stamp, 10000000);
            if (s >= 3 && s < 6) {
                EXPECT_EQ(Khz, rate) << c.name << ", second " << s;
            }
            EXPECT_TRUE(rate == 0 || rate == Khz) << c.name << ", second " << s << ": " << rate;
            if (c.resumeAt10 && s >= 10) {
                EXPECT_EQ(Khz, rate) << c.name << ", second " << s << ": the rate is kept after a resume";
            }
        }
        EXPECT_EQ(c.rateAtEnd, rate) << c.name;
    }
}

}  // namespace
