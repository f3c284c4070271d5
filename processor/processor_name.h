#pragma once

#include <stddef.h>

// Room for a processor's name: CPUID's brand string is 48 characters at most, and the
// vendor with family, model and stepping stays well below that.
const size_t ProcessorNameSize = 64;

// Writes the processor's name into name (ProcessorNameSize bytes), read afresh through the
// platform table:
// - CPUID's brand string (leaves 0x80000002 to 0x80000004) where leaf 0x80000000 reports
//   them, without the blanks before and after it;
// - else the vendor string and "family F model M stepping S", with the family and model as
//   the processor's documentation displays them (extended fields included);
// - without CPUID, "80386" or "80486" from the processor type GetSystemInfo reports.
void ReadProcessorName(char (&name)[ProcessorNameSize]);

// The name as ReadProcessorName gives it, read on the first call and kept for the life of the
// process. First called on the dialog thread before any test starts a worker.
const char* ProcessorName();
