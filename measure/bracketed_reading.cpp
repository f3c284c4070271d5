#include "measure/bracketed_reading.h"

#include "measure/measure_platform.h"

namespace {

// A bracket no wider than 10 µs (and never less than 2 ticks, for a counter too slow to
// resolve that) is taken as it is: reading both counters takes well under that on every
// system, from the 1.19 MHz timer chip of Windows 95 on, while losing the processor costs a
// time slice.
LONGLONG ToleratedWidth(LONGLONG frequency)
{
    const LONGLONG width = frequency / 100000;
    return width > 2 ? width : 2;
}

LONGLONG Width(const BracketedReading& reading)
{
    return reading.after - reading.before;
}

} // namespace

BracketedReading ReadBracketed(unsigned long long (*read)(void* context), void* context, LONGLONG frequency)
{
    decltype(&::QueryPerformanceCounter) query = measurePlatform().QueryPerformanceCounter;
    BracketedReading narrowest = {0, 0, 0};
    for (int attempt = 0; attempt < BracketAttempts; ++attempt) {
        LARGE_INTEGER before;
        LARGE_INTEGER after;
        query(&before);
        const unsigned long long cycles = read(context);
        query(&after);
        const BracketedReading reading = {cycles, before.QuadPart, after.QuadPart};
        if (attempt == 0 || Width(reading) < Width(narrowest))
            narrowest = reading;
        if (Width(narrowest) <= ToleratedWidth(frequency))
            break;
    }
    return narrowest;
}

LONGLONG TicksBetween(const BracketedReading& first, const BracketedReading& second)
{
    return second.after - first.after;
}
