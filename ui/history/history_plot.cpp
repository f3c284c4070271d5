#include "ui/history/history_plot.h"

#include <stdio.h>

#include <stdlib.h>

namespace {

// 1, 2 or 5 times a power of ten, at least raw and at least 1.
double RoundStep(double raw) {
    double power = 1.0;
    while (power * 10.0 <= raw)
        power *= 10.0;
    if (raw <= power)
        return power;
    if (raw <= 2.0 * power)
        return 2.0 * power;
    if (raw <= 5.0 * power)
        return 5.0 * power;
    return 10.0 * power;
}

int CompareFloats(const void* a, const void* b) {
    const float x = *static_cast<const float*>(a);
    const float y = *static_cast<const float*>(b);
    return x < y ? -1 : x > y ? 1 : 0;
}

}  // namespace

HistoryScale ChooseHistoryScale(double lowest, double highest) {
    if (lowest <= 0.0)
        lowest = highest;
    if (highest <= 0.0)
        highest = lowest;
    if (highest <= 0.0) {
        HistoryScale none = {0.0, 1000.0, 200.0};
        return none;
    }
    if (lowest > highest) {
        const double swapped = lowest;
        lowest = highest;
        highest = swapped;
    }
    const double smallest = highest * 0.02 > 10.0 ? highest * 0.02 : 10.0;
    if (highest - lowest < smallest) {
        const double middle = (lowest + highest) / 2.0;
        lowest = middle - smallest / 2.0;
        highest = middle + smallest / 2.0;
    }
    // Four gridline gaps or a few more.
    const double step = RoundStep((highest - lowest) / 5.0);
    HistoryScale scale;
    scale.step = step;
    scale.low = static_cast<double>(static_cast<long long>(lowest / step)) * step;
    if (scale.low < 0.0)
        scale.low = 0.0;
    const long long steps = static_cast<long long>((highest - scale.low) / step);
    scale.high = scale.low + step * static_cast<double>(steps);
    if (scale.high < highest)
        scale.high += step;
    return scale;
}

HistoryTimeAxis ChooseHistoryTimeAxis(const HistoryRecord& record, DWORD elapsedMs) {
    // Up to six hours: the longest rounds fill the ring in about thirty.
    static const DWORD steps[] = {30, 60, 120, 300, 600, 900, 1800, 3600, 7200, 14400, 21600};
    const DWORD kept = record.rows() > 0 ? elapsedMs - record.rowTime(0) : 0;
    HistoryTimeAxis axis;
    axis.spanMs = kept > 120000 ? kept : 120000;
    axis.stepSeconds = steps[sizeof steps / sizeof steps[0] - 1];
    for (DWORD step : steps) {
        if (axis.spanMs / 1000 / step <= 6) {
            axis.stepSeconds = step;
            break;
        }
    }
    return axis;
}

void FormatTimeLabel(DWORD secondsAgo, char* text) {
    if (secondsAgo < 120 || secondsAgo % 60 != 0)
        sprintf(text, "-%lu s", static_cast<unsigned long>(secondsAgo));
    else
        sprintf(text, "-%lu min", static_cast<unsigned long>(secondsAgo / 60));
}

void FormatMhzLabel(double mhz, char* text) {
    sprintf(text, "%.0f", mhz);
}

LONG ListEfficiencyClasses(const BYTE* classes, LONG count, BYTE* distinct) {
    bool seen[256] = {};
    for (LONG k = 0; k < count; ++k)
        seen[classes[k]] = true;
    LONG found = 0;
    for (int c = 0; c < 256; ++c) {
        if (seen[c])
            distinct[found++] = static_cast<BYTE>(c);
    }
    return found;
}

bool SpreadOf(const float* values, const BYTE* classes, LONG count, int classWanted, float* scratch,
              HistorySpread& spread) {
    LONG taken = 0;
    for (LONG k = 0; k < count; ++k) {
        if (values[k] > 0.0f && (classWanted < 0 || classes[k] == classWanted))
            scratch[taken++] = values[k];
    }
    if (taken == 0)
        return false;
    qsort(scratch, taken, sizeof *scratch, CompareFloats);
    spread.lowest = scratch[0];
    spread.highest = scratch[taken - 1];
    spread.median = taken % 2 != 0 ? scratch[taken / 2] : (scratch[taken / 2 - 1] + scratch[taken / 2]) / 2.0f;
    return true;
}

void FormatLatestLine(const HistorySpread& latest, char* text) {
    sprintf(text, "Zuletzt / Latest:  min %.0f   Median %.0f   max %.0f MHz", latest.lowest, latest.median,
            latest.highest);
}
