#pragma once

// Busy-waits, without sleeping or yielding, until the performance counter has advanced by
// milliseconds × (its frequency / 1000) ticks; the millisecond count is taken as unsigned.
// Returns at once if the counter's frequency cannot be read.
void SpinWait(int milliseconds);

// The same set-up as SpinWait (the frequency query, the tick arithmetic and the first counter
// reading), without the wait: it reads the counter again only while the elapsed count happens
// to equal the target exactly. Its cycles are what SpinWait costs beyond its waiting.
void SpinWaitOverhead(int milliseconds);
