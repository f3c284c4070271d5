#pragma once

#include <windows.h>

#include "measure/history/history_record.h"

// What the history window draws, worked out without a window: the scales, their round
// gridlines, and the lowest, median and highest value of a moment.

// The MHz axis: from low to high, a gridline every step, all whole MHz.
struct HistoryScale {
    double low;
    double high;
    double step;
};

// A scale around every value shown and the reference line, from lowest to highest (values of
// 0 or less count as none), with four to ten gridlines at round values (1, 2 or 5 times a
// power of ten, at least 1 MHz apart). Values that are all equal, or nearly, sit in the middle
// of a span of 2% of their size, or 10 MHz at least.
HistoryScale ChooseHistoryScale(double lowest, double highest);

// The time axis: the span shown ends now, elapsedMs after the window opened, and reaches back
// to the oldest round the record keeps, but never less than two minutes; a labelled gridline
// every stepSeconds before now, six at most. The record is locked by the caller.
struct HistoryTimeAxis {
    DWORD spanMs;
    DWORD stepSeconds;
};
HistoryTimeAxis ChooseHistoryTimeAxis(const HistoryRecord& record, DWORD elapsedMs);

// Writes a time gridline's label for secondsAgo into text, at least 16 bytes: "-90 s", and
// whole minutes from two on, "-2 min". A value's label the same way: "3500".
void FormatTimeLabel(DWORD secondsAgo, char* text);
void FormatMhzLabel(double mhz, char* text);

// Up to this many processors, one line each; more, a band from the lowest to the highest
// value, with the median as a line, one band per efficiency class.
const LONG HistoryLineLimit = 8;
inline bool DrawsLines(LONG processors) {
    return processors <= HistoryLineLimit;
}

// The distinct efficiency classes among classes[0..count), in ascending order, written to
// distinct (room for 256); returns how many.
LONG ListEfficiencyClasses(const BYTE* classes, LONG count, BYTE* distinct);

// The lowest, median and highest of one moment's values, of the processors of one efficiency
// class (or of all with classWanted −1), leaving out values of 0 (not measured). scratch holds
// count floats. False where no value counts.
struct HistorySpread {
    float lowest;
    float median;
    float highest;
};
bool SpreadOf(const float* values, const BYTE* classes, LONG count, int classWanted, float* scratch,
              HistorySpread& spread);

// The status line: the latest lowest, median and highest value, at least 128 bytes.
void FormatLatestLine(const HistorySpread& latest, char* text);
