#pragma once

// A routine whose cycles can be counted: one integer argument, no result.
typedef void (*MeasuredRoutine)(int argument);

// Returned by CyclesOfCall when the routine or a counter read faulted.
const unsigned long long CyclesOfFaultedCall = ~0ULL;

// The time-stamp-counter cycles that pass across one call of routine(argument), read without
// serialisation and modulo 2^64, or CyclesOfFaultedCall if anything faulted inside.
unsigned long long CyclesOfCall(MeasuredRoutine routine, int argument);
