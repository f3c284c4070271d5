#pragma once

#include <windows.h>

#include <atomic>

// The measuring window in milliseconds and the repetition count of the next test. The dialog
// thread writes both before it starts any worker; each worker reads them once, as unsigned.
// Both are stored and loaded atomically, as the result table's entries are, so that a worker
// never reads a value while it is being written.
extern std::atomic<LONG> MeasureWindowMs;
extern std::atomic<LONG> RepeatCount;
