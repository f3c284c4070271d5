#pragma once

#include <windows.h>

#include "processor/processor_groups.h"

// The kinds of cores of the processors a test measures, where the system tells them apart by
// efficiency class (Windows 10 and later; Intel's hybrid processors since Alder Lake, AMD's
// with compact cores). A higher class is a faster core. Each processor is given the rank of
// its class among the classes of the measured processors: 1 for the fastest.
class ProcessorClasses {
public:
    ProcessorClasses();

    // Reads the classes through the platform table (GetLogicalProcessorInformationEx, looked
    // up at run time) and ranks them. Where the function is missing or fails, or every measured
    // processor has the same class, nothing is told apart: kinds() is 0.
    void read();

    // The number of classes among the measured processors, 0 unless there are at least two.
    int kinds() const { return kinds_; }
    // The rank of a processor's class, by its 1-based processor number as the result table
    // counts them; 0 where nothing is told apart or the processor is unknown.
    int rankOf(int processor) const;

private:
    BYTE ranks_[MostProcessors + 1]; // entry 0 is never used
    int kinds_;
};
