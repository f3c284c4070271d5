#pragma once

#include <windows.h>

#include "processor/processor_instructions.h"

class ProcessorClasses;

// The clocks a processor is rated for, as the processor or the system states them: what the
// measured clocks are held against. 0 stands for unknown, never for a clock of 0 MHz.

// Where a rated base clock was read.
enum RatedSource {
    RatedUnknown,
    RatedByCpuid,   // leaf 0x16, Intel's processor frequency leaf
    RatedByBrand,   // the number in the brand string ("... @ 3.50GHz")
    RatedByWindows, // the nominal clock Windows records in the registry (~MHz)
};

struct RatedClock {
    DWORD baseMhz;
    DWORD maxMhz; // only leaf 0x16 tells it
    RatedSource baseSource;
};

// At most this many kinds of cores get rated clocks of their own; on a machine with more, the
// first ones, by rank, are read.
const int RatedKinds = 4;

// The rated clocks of each kind of core, by rank (byRank[0] for the fastest kind), or, where
// the system tells no kinds apart or only the brand string or Windows know a clock, one for
// every processor in byRank[0] with kinds 0.
struct RatedClocks {
    int kinds;
    RatedClock byRank[RatedKinds];

    // The rated clock of a processor's kind by its rank (efficiency_classes.h); the only one
    // where no kinds are told apart or the rank is out of reach.
    const RatedClock& ofRank(int rank) const;
};

// The clock a brand string names: the number right before "MHz", "GHz" or "THz", in MHz,
// rounded to a whole one ("Intel(R) Core(TM) i7-3770K CPU @ 3.50GHz" gives 3500). 0 where there
// is none, where it is 0, or where it is past 100 GHz, which no processor reaches.
DWORD BrandStringMhz(const char* brand);

// The base and maximum of CPUID leaf 0x16 (eax and ebx, bits 0 to 15), given leaf 0's answer:
// only where leaf 0 reports 0x16 or more and the vendor is GenuineIntel. A field of 0 stays
// unknown; hypervisors often zero the whole leaf.
RatedClock Leaf16Clock(const CpuidLeaf& leaf0, const CpuidLeaf& leaf16);

// A clock in whole MHz with a comma between thousands, as the dialog's lines show it: "3,700".
const size_t MhzTextSize = 16;
void FormatGroupedMhz(DWORD mhz, char (&text)[MhzTextSize]);

// Reads the rated clocks through the platform table. Leaf 0x16 is read on the calling thread's
// processor, and where classes tells kinds of cores apart, once on a processor of each kind,
// the calling thread bound there for the moment as the workers are bound. Where no kind has a
// leaf 0x16 base, the base comes from the brand string (brand), else, on the NT family only,
// from the registry's ~MHz of processor 0.
RatedClocks ReadRatedClocks(const ProcessorClasses& classes, const char* brand, bool ntFamily);
