#pragma once

#include <windows.h>

// A time-stamp-counter reading and the performance-counter readings taken right before and
// right after it. Nothing but the call into the performance counter lies between the reading
// and the bracket's end, whereas a serialising step before the reading (CPUID, which under a
// hypervisor takes microseconds) may fill most of the bracket: so the end of the bracket, not
// its middle, stands for the instant of the reading, always the same short call after it.
struct BracketedReading {
    unsigned long long cycles;
    LONGLONG before;
    LONGLONG after;
};

// Takes a time-stamp-counter reading, read(context), between two performance-counter readings
// of a counter running at frequency ticks per second. A thread that loses its processor inside
// the bracket comes back to one far wider than the two counters take to read: the reading is
// then taken again, up to BracketAttempts times in all, and the narrowest bracket is kept.
BracketedReading ReadBracketed(unsigned long long (*read)(void* context), void* context, LONGLONG frequency);

// The most readings ReadBracketed takes for one bracket.
const int BracketAttempts = 8;

// The performance-counter ticks that passed between two time-stamp readings: from the end of
// one bracket to the end of a later one.
LONGLONG TicksBetween(const BracketedReading& first, const BracketedReading& second);
