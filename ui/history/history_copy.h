#pragma once
#include <windows.h>

#include "measure/history/history_record.h"

// The history as text to paste into a spreadsheet: a line naming the clocks the plot holds the
// values against (clocks; none where empty), a header line naming the processor (its name
// where known, else nothing) and the columns, then one line per round: the seconds since
// the window opened and each processor's MHz, separated by tabs; a value not measured leaves
// its cell empty. Lines end with CR LF. Written into text, at most room bytes with the
// terminating zero; returns the length without it, also when it did not fit. The record must
// be locked by the caller.
size_t FormatHistoryCopy(const HistoryRecord& record, const char* processorName, const char* clocks, char* text,
                         size_t room);

// Puts that text on the clipboard, owned by owner; false where it did not, and when there is
// no round yet.
bool CopyHistory(HWND owner, HistoryRecord& record, const char* processorName, const char* clocks);
