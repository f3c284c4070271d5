#pragma once

#include <windows.h>

// a × b / c, truncated, with the product kept exact in 128 bits: a count of cycles times a
// counter frequency overflows 64 bits once the frequency is a processor's clock, as the
// performance counter's is on some systems. c must not be 0; the quotient must fit 64 bits.
// Built from 32-bit multiplications and shifts only, so the x86 program needs no 128-bit
// arithmetic and no division routine for it.
ULONGLONG MultiplyDivide(ULONGLONG a, ULONGLONG b, ULONGLONG c);
