#pragma once
#include <stddef.h>

#include "processor/rated_clocks.h"

// The rated clocks' line of the main dialog and of the copied results: "Nenntakt / Rated: "
// and, for each kind of core with its mark where kinds are told apart, the rated base and
// maximum, each with where it comes from: "Basis / base 3,700 MHz, max. 5,300 MHz (CPUID)".
// What is not known is said to be unknown, in German and English.
void FormatRatedLine(const RatedClocks& rated, char* text, size_t room);

// The rated clock the history draws beside the time-stamp counter's rate:
// "Nenntakt / Rated max. 5,300 MHz", or with "base" where it is the base.
void FormatRatedReference(DWORD mhz, bool maximum, char* text, size_t room);
