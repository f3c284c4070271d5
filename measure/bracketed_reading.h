#pragma once

#include <windows.h>

// A time-stamp-counter reading and the performance-counter readings taken right before and
// right after it: the reading was taken at some instant between the two.
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

// Twice the performance-counter ticks from the middle of one bracket to the middle of a later
// one: the time that passed between the two time-stamp readings, doubled so that no half tick
// is lost.
LONGLONG DoubledTicksBetween(const BracketedReading& first, const BracketedReading& second);
