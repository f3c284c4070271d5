#pragma once

#include <windows.h>

#include <atomic>

#include "processor/processor_groups.h"

// The per-processor results of the latest tests, in MHz, indexed by the 1-based processor
// number (1 to 2,048, the most logical processors Windows runs on), and the number of
// processors of the latest test. Each processor has two: the time-stamp counter's rate and
// the clock its core runs at. Workers store their own
// entries while the dialog thread reads; every entry is stored and loaded atomically, so a read
// never sees half of a value. Zero at process start and never cleared.
class ResultTable {
public:
    static const int Capacity = MostProcessors + 1; // entry 0 is never used
    static const int LastProcessor = Capacity - 1;

    LONG count() const;
    // Kept within 0 to LastProcessor, so that whoever shows entries 1 to count() stays inside.
    void setCount(LONG n);
    // 0.0 for a processor number outside 1 to LastProcessor.
    double value(int processor) const;
    // Ignored for a processor number outside 1 to LastProcessor.
    void store(int processor, double mhz);
    // The core clocks, by the same rules.
    double coreClock(int processor) const;
    void storeCoreClock(int processor, double mhz);

private:
    std::atomic<LONG> count_{0};
    std::atomic<double> values_[Capacity] = {};
    std::atomic<double> coreClocks_[Capacity] = {};
};

extern ResultTable resultTable;
