#pragma once

#include <windows.h>

// The measuring window in milliseconds and the repetition count of the next test. The dialog
// thread writes both before it starts any worker; each worker reads them once, as unsigned.
extern LONG MeasureWindowMs;
extern LONG RepeatCount;
