#pragma once
#include <windows.h>

#include "measure/history/history_record.h"

// What one picture of the history needs.
struct HistoryView {
    const HistoryRecord* record; // locked by the caller while it draws
    const BYTE* classes;         // each processor's efficiency class
    DWORD periodMs;              // the sampler's round, to tell a gap from the next round
    DWORD elapsedMs;             // since the window opened: the right edge
    double referenceMhz;         // the time-stamp counter's rate; 0.0 while unknown
    const char* referenceLabel;  // its label
    double ratedMhz;             // the rated clock drawn beside it; 0.0 where unknown
    const char* ratedLabel;      // its label
    const char* emulatedOn;      // the machine an emulated x86 runs on, else null
    HFONT font;
    int dpi;                     // the screen's, for lines and gaps
};

// Draws the whole picture into area of dc: the latest values' line, the legend, the plot with
// its gridlines, labels and the dashed lines of the reference and the rated clock, and the processors' lines or bands; or,
// under emulation, the words that say why there is none.
void DrawHistory(HDC dc, const RECT& area, const HistoryView& view);
