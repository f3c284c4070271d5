#pragma once

// Busy-waits, without sleeping or yielding, until the performance counter has advanced by
// milliseconds × (its frequency / 1000) ticks; the millisecond count is taken as unsigned.
// Returns at once if the counter's frequency cannot be read.
void SpinWait(int milliseconds);

