#pragma once

#include <windows.h>

#include <atomic>

#include "measure/history/history_record.h"
#include "measure/history/history_schedule.h"
#include "processor/processor_groups.h"

// The time-stamp counter's rate, from pairs of readings of it and of the performance counter
// taken on one processor, once a round. It is taken over at least two seconds and two
// intervals since an anchor pair, and the anchor is taken anew, the rate being unknown
// meanwhile, where the interval since the last pair disagrees by more than 1% with the rate
// since the anchor: the counter jumped, as after a sleep that restarted it, or the pair came
// from a processor whose counter is offset from the others'.
struct TimeStampAnchor {
    double counter;
    double stamp;
    double lastCounter;
    double lastStamp;
    LONG pairs; // since the anchor, counting it; 0 before any
};
// Notes a pair, counter read at frequency, and returns the rate in whole kHz: rateKhz, the rate
// known so far, until a new span is complete, and 0 while the rate is unknown. Forgetting the
// anchor (pairs 0) keeps the rate known, with the next pair as the new anchor.
LONG NoteTimeStampPair(TimeStampAnchor& anchor, LONG rateKhz, LONGLONG counter, unsigned long long stamp,
                       LONGLONG frequency);

// Measures each processor's core clock for the history, a chain measurement alone on the
// processor itself, as the schedule says (history_schedule.h), into a HistoryRecord. On the NT
// family one thread of its own does it, moving itself from processor to processor as the
// workers are bound; elsewhere the dialog thread calls runDue from a timer.
class HistorySampler {
public:
    HistorySampler();
    ~HistorySampler();

    // Lists the processors as the workers do, opens the record for them and, with ownThread,
    // starts the sampling thread. False, with nothing left open, when there is no memory or
    // no thread.
    bool start(HistoryRecord& record, bool ownThread);
    // Ends the thread, waiting for it, and releases everything start took.
    void stop();

    // Set while a test runs: nothing is measured meanwhile. Setting it waits for a measurement
    // under way.
    void setPaused(bool paused);
    // The system has resumed from a sleep: the round under way and the counter's anchor are
    // dropped, and the plot shows a gap.
    void noteResume() { resumedFlag.store(true); }

    // Measures what is due now, at most one processor; returns the milliseconds until the
    // next call, 0 when more is due at once.
    DWORD runDue();

    LONG processors() const { return count; }
    // Each processor's kind of core: the rank of its efficiency class, 1 for the fastest, 0
    // where the system tells none apart (efficiency_classes.h).
    const BYTE* classes() const { return classList; }
    // The time-stamp counter's rate in MHz, from readings taken beside the measurements
    // (TimeStampAnchor); 0.0 while unknown, and where there is no counter.
    double timeStampMhz() const { return rateKhz.load() / 1000.0; }
    // The time between two measurements of one processor, as the schedule has it now.
    DWORD roundPeriodMs() const { return period.load(); }
    // Milliseconds since start: the time of a round in the record is counted from there.
    DWORD elapsedMs() const { return GetTickCount() - openedMs; }

private:
    HistorySampler(const HistorySampler&) = delete;
    HistorySampler& operator=(const HistorySampler&) = delete;

    static DWORD WINAPI threadMain(LPVOID sampler);
    DWORD measureDue();
    void bindTo(LONG processor);
    void measure(LONG processor);
    void noteTimeStamp();

    HistoryRecord* record;
    HANDLE thread;
    HANDLE stopEvent;
    ProcessorPlace* places;
    BYTE* classList;
    LONG count;
    bool byGroup;
    HistorySchedule schedule;
    DWORD openedMs;
    // What the latest measurements took, for the next round's length.
    HistoryCosts costs;
    TimeStampAnchor anchor;
    LONGLONG counterFrequency;
    // Held while measuring, so that a pause can wait for a measurement under way.
    CRITICAL_SECTION measuring;
    std::atomic<bool> pausedFlag;
    std::atomic<bool> resumedFlag;
    // In whole kilohertz: four bytes are stored atomically by every x86 processor.
    std::atomic<LONG> rateKhz;
    std::atomic<DWORD> period;
};
