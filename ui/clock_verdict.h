#pragma once
#include <windows.h>

#include <stddef.h>

#include "measure/result_table.h"
#include "processor/efficiency_classes.h"
#include "processor/rated_clocks.h"

// What a test's core clocks say against the rated clocks.
struct ClockVerdict {
    bool known;     // false where there is no core clock or no rated clock to hold it against
    double percent; // the core clock compared, as a share of ofMhz
    DWORD ofMhz;
    // Some processor's core clock, measured while it worked, lies under 95 % of the rated base
    // of its kind of core.
    bool belowBase;
};

// Judges the core clocks of entries 1 to table.count(). After a test one by one, the fastest
// core's clock against the rated maximum of its kind, else against its rated base; after a test
// of all at once, the median of the core clocks, the clock all cores hold, against the rated
// base of the median core's kind. Processors without a core clock (0) count for nothing.
ClockVerdict JudgeCoreClocks(const ResultTable& table, const ProcessorClasses& classes, const RatedClocks& rated,
                             bool oneByOne);

// Judges the one core clock of an estimate, against the rated base of the only kind of core.
ClockVerdict JudgeCoreClock(double mhz, const RatedClock& rated);

// "erreicht / reaches 98.6 % of 5,300 MHz", followed by ", unter Basistakt / below base" where
// a core is held back; empty where the verdict is not known.
void FormatVerdict(const ClockVerdict& verdict, char* text, size_t room);
