#pragma once

#include <windows.h>

#include <atomic>

#include "measure/history/history_record.h"
#include "measure/history/history_schedule.h"
#include "processor/processor_groups.h"

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

    // Set while a test runs: nothing is measured meanwhile.
    void setPaused(bool paused) { pausedFlag.store(paused); }

    // Measures what is due now, at most one processor; returns the milliseconds until the
    // next call, 0 when more is due at once.
    DWORD runDue();

    LONG processors() const { return count; }
    // Each processor's kind of core: the rank of its efficiency class, 1 for the fastest, 0
    // where the system tells none apart (efficiency_classes.h).
    const BYTE* classes() const { return classList; }
    // The time-stamp counter's rate in MHz, from readings taken beside the measurements over
    // the history's span; 0.0 until two seconds have passed, and where there is no counter.
    double timeStampMhz() const { return rateKhz.load() / 1000.0; }
    // The time between two measurements of one processor, as the schedule has it now.
    DWORD roundPeriodMs() const { return period.load(); }
    // Milliseconds since start: the time of a round in the record is counted from there.
    DWORD elapsedMs() const { return GetTickCount() - openedMs; }

private:
    HistorySampler(const HistorySampler&) = delete;
    HistorySampler& operator=(const HistorySampler&) = delete;

    static DWORD WINAPI threadMain(LPVOID sampler);
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
    // The round's measuring time so far, for the next round's length.
    double roundCostMs;
    LONG roundMeasured;
    // The first time-stamp reading and the performance counter's beside it.
    unsigned long long firstStamp;
    LONGLONG firstCounter;
    LONGLONG counterFrequency;
    std::atomic<bool> pausedFlag;
    // In whole kilohertz: four bytes are stored atomically by every x86 processor.
    std::atomic<LONG> rateKhz;
    std::atomic<DWORD> period;
};
