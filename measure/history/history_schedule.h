#pragma once

#include <windows.h>

// When the history measures which processor: a pure function of the processor count, the cost
// of one measurement and the time, so that its load can be checked against a fake clock.
//
// One thread measures the processors in turn, each once a round, at even steps through the
// round, and sleeps in between. A round takes a second where the load allows. Its load on the
// machine is the cost of one measurement over the round (each processor is busy for one
// measurement a round), which stays well under the 2% allowed; and the one thread must get
// through all processors in half a round, so on thousands of processors a round takes longer.

// The share of the machine's capacity a round may take: half of the 2% allowed, leaving the
// rest for the drawing and the sampler's wake-ups.
const double HistoryLoadTarget = 0.01;
// A round where the load allows, and the steps a longer one is rounded up to.
const DWORD HistoryRoundMs = 1000;
const DWORD HistoryRoundStepMs = 250;
// The longest round, whatever the measurements cost: past it the history would fall silent.
const DWORD HistoryLongestRoundMs = 30000;
// While a test runs, the sampler looks this often whether it has ended.
const DWORD HistoryPausePollMs = 200;

// The time between two measurements of one processor, in milliseconds: a second, or longer
// where measurements of costMs each would take more than HistoryLoadTarget of the machine or
// more than half of the one thread's time, but never longer than HistoryLongestRoundMs.
DWORD HistoryRoundPeriodMs(LONG processors, DWORD costMs);

// The costs of the latest two measurements, of whichever processors, 0 before there are two.
// What a measurement usually costs is the lesser, so that one slow measurement (the thread
// preempted, a page-in, a suspend in the middle) does not lengthen the rounds.
struct HistoryCosts {
    DWORD latestMs;
    DWORD beforeMs;
};
void NoteHistoryCost(HistoryCosts& costs, double ms);
inline DWORD UsualHistoryCostMs(const HistoryCosts& costs)
{
    return costs.latestMs < costs.beforeMs ? costs.latestMs : costs.beforeMs;
}

struct HistorySchedule {
    LONG processors;
    DWORD periodMs;
    DWORD roundStartMs; // the time of the round under way, or of the last one
    LONG next;          // the 0-based processor measured next; 0 before a round
    bool started;       // false before the first round and after a pause
};

struct HistoryStep {
    bool measure;    // measure processor now; else wait waitMs
    bool newRound;   // the measurement opens a round, whose time is roundStartMs
    LONG processor;  // 0-based
    DWORD waitMs;
};

void StartHistorySchedule(HistorySchedule& schedule, LONG processors, DWORD periodMs);

// What to do at nowMs (a millisecond count that may wrap). While paused, nothing is measured
// and the round under way is dropped; after the pause a round starts at once, so the time the
// test took shows as a gap between two rounds.
HistoryStep NextHistoryStep(HistorySchedule& schedule, DWORD nowMs, bool paused);

// Whether two rounds, apart by gapMs, belong to one stretch of the history: not where a test
// (or anything else) kept the sampler from a round.
inline bool RoundsJoin(DWORD gapMs, DWORD periodMs)
{
    return gapMs <= periodMs + periodMs / 2;
}
