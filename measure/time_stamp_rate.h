#pragma once

#include <windows.h>

// The rate of the time-stamp counter of the processor the calling thread runs on, in MHz, in
// whole kilohertz (truncated): the cycles counted across repetitions busy-waits of windowMs
// milliseconds each (spin_wait.h), divided by the performance-counter time that really passed
// between the readings that bracket each wait (bracketed_reading.h). A wait that overshoots its
// window, because the thread lost its processor near the end, adds cycles and time alike.
// With every wait lasting exactly its window, the figure is the cycles per repetition per
// millisecond. 0.0 where nothing can be counted: no repetitions or no window, no performance
// counter, a fault (a processor without the time-stamp counter faults at its first reading),
// or readings that did not advance.
double MeasureTimeStampMhz(DWORD repetitions, DWORD windowMs);
