#include "measure/history/history_schedule.h"

namespace {

// Milliseconds from then to now; negative while then lies ahead.
LONG Since(DWORD then, DWORD now)
{
    return static_cast<LONG>(now - then);
}

} // namespace

DWORD HistoryRoundPeriodMs(LONG processors, DWORD costMs)
{
    if (processors < 1)
        processors = 1;
    double period = HistoryRoundMs;
    const double forLoad = costMs / HistoryLoadTarget;
    const double forThread = 2.0 * costMs * processors;
    if (forLoad > period)
        period = forLoad;
    if (forThread > period)
        period = forThread;
    if (period > HistoryLongestRoundMs)
        period = HistoryLongestRoundMs;
    // Whole quarters of a second, so that the times stay easy to read.
    const DWORD quarters = static_cast<DWORD>((period + HistoryRoundStepMs - 1) / HistoryRoundStepMs);
    return quarters * HistoryRoundStepMs;
}

void NoteHistoryCost(HistoryCosts& costs, double ms)
{
    // Whole milliseconds rounded up; a stall of any length counts as the longest round.
    DWORD whole = HistoryLongestRoundMs;
    if (ms < HistoryLongestRoundMs)
        whole = ms > 0.0 ? static_cast<DWORD>(ms) + 1 : 1;
    costs.beforeMs = costs.latestMs;
    costs.latestMs = whole;
}

void StartHistorySchedule(HistorySchedule& schedule, LONG processors, DWORD periodMs)
{
    schedule.processors = processors < 1 ? 1 : processors;
    schedule.periodMs = periodMs;
    schedule.roundStartMs = 0;
    schedule.next = 0;
    schedule.started = false;
}

HistoryStep NextHistoryStep(HistorySchedule& s, DWORD nowMs, bool paused)
{
    HistoryStep step = {false, false, 0, 0};
    if (paused) {
        s.next = 0;
        s.started = false;
        step.waitMs = HistoryPausePollMs;
        return step;
    }
    if (s.next == 0) {
        const LONG late = s.started ? Since(s.roundStartMs + s.periodMs, nowMs) : 0;
        if (late < 0) {
            step.waitMs = static_cast<DWORD>(-late);
            return step;
        }
        // Rounds keep their cadence unless one fell more than a round behind.
        if (s.started && late < static_cast<LONG>(s.periodMs))
            s.roundStartMs += s.periodMs;
        else
            s.roundStartMs = nowMs;
        s.started = true;
        step.newRound = true;
    } else {
        const DWORD due = s.roundStartMs
                          + static_cast<DWORD>(static_cast<unsigned long long>(s.periodMs) * s.next / s.processors);
        const LONG late = Since(due, nowMs);
        if (late < 0) {
            step.waitMs = static_cast<DWORD>(-late);
            return step;
        }
    }
    step.measure = true;
    step.processor = s.next;
    s.next = s.next + 1 < s.processors ? s.next + 1 : 0;
    return step;
}
