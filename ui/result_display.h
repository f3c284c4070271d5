#pragma once
#include "measure/result_table.h"

// Text of the result field after a test on the per-processor path: every
// entry of the table with four decimals, four to a line, tabs within a line
// and CR LF between lines, nothing after the last value.

// One value: a double with four decimals. Values the workers store stay far
// below this; anything longer is cut to fit rather than overrunning.
const int ResultValueSize = 128;

// Room for every entry the table can hold, each with a two-byte separator,
// so that a machine with many processors still sees all of its values.
const int ResultDisplaySize = ResultTable::LastProcessor * (ResultValueSize - 1 + 2) + 1;

// Formats entries 1 to table.count() (re-read before each value, never more
// than the table holds) into text.
void FormatResultTable(const ResultTable& table, char (&text)[ResultDisplaySize]);
