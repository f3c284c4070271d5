#pragma once
#include "measure/result_table.h"
#include "processor/efficiency_classes.h"

// Texts of the two result rows after a test on the per-processor path: every
// entry of the table, four to a line, tabs within a line and CR LF between
// lines, nothing after the last value. The time-stamp counter's rates have
// four decimals, the core clocks one; a processor's two values stand in the
// same line and column of their rows. Where classes tell kinds of cores
// apart, each value is followed by a blank and its processor's mark
// (ui/class_marks.h).

// One value. Values the workers store stay far below this; anything longer is
// cut to fit rather than overrunning.
const int ResultValueSize = 128;

// Room for every entry the table can hold, each with a two-byte separator,
// so that a machine with many processors still sees all of its values.
const int ResultDisplaySize = ResultTable::LastProcessor * (ResultValueSize - 1 + 2) + 1;

// Formats the time-stamp rates of entries 1 to table.count() (re-read before
// each value, never more than the table holds) into text, with "%.4f".
void FormatResultTable(const ResultTable& table, char (&text)[ResultDisplaySize],
                       const ProcessorClasses* classes = nullptr);

// The mark before the core clocks of the fastest processors.
const char FastestMark[] = "*";

// The same for the core clocks, with "%.1f", each with the mark of its kind
// of core where classes are given. With markFastest (after a test that
// measured the processors one by one), each core clock within 0.5% of the
// highest and more than 1% above the lowest gets FastestMark before it: where
// all are within 1% of each other, no core stands out and none is marked.
// Processors without a core clock (0) count for neither. Returns whether any
// is marked.
bool FormatCoreClockTable(const ResultTable& table, char (&text)[ResultDisplaySize],
                          const ProcessorClasses* classes = nullptr, bool markFastest = false);
