#pragma once
#include <windows.h>

// Value names for the control-state store. Both return a process-wide buffer
// that the next call overwrites: one thread at a time, used during one visit.

// The identifier as an unsigned 32-bit number in base 4, no leading zeros:
// 1 gives "1", 1000 gives "33220".
const char* Base4ValueName(int identifier);

// The first three characters of the control's text when it has at least two,
// otherwise the control's identifier in base 4.
const char* ValueNameFromText(HWND child);
