#pragma once

// The processor instructions the measuring code uses, each in a routine of its own so
// that the platform seam can replace it and the compiler cannot move it.

// RDTSC: the time-stamp counter, as it stands, without serialisation.
unsigned long long ReadTimeStamp();

// CPUID leaf 0 as a serialising step (its outputs are discarded), then RDTSC.
unsigned long long ReadSerialisedTimeStamp();

// CLI and STI. They raise a privileged-instruction fault where the system does not let
// a program mask interrupts, so callers run them inside a guarded region.
void MaskInterrupts();
void UnmaskInterrupts();

// The processor's family and model as CPUID leaf 1 gives them, and whether its vendor string
// is Intel's.
struct ProcessorSignature {
    bool genuineIntel;
    unsigned family; // with the extended family added where the family field is 15
    unsigned model;  // with the extended model above it where the family field is 6 or 15
};

// The family and model as a processor's documentation names them, from the signature CPUID
// leaf 1 gives in eax: the extended family added where the family field is 15, the extended
// model above the model where the family field is 6 or 15.
unsigned DisplayFamily(unsigned signature);
unsigned DisplayModel(unsigned signature);

// Fills signature from CPUID and returns true; returns false, leaving it as it was, where the
// processor has no CPUID (the 80386 and early 80486, on which the EFLAGS ID bit cannot be
// changed) or no leaf 1.
bool ReadProcessorSignature(ProcessorSignature* signature);

// The four registers CPUID leaves in one leaf, in the order eax, ebx, ecx, edx.
struct CpuidLeaf {
    unsigned eax;
    unsigned ebx;
    unsigned ecx;
    unsigned edx;
};

// Fills leaf with CPUID's answer for that leaf (subleaf 0) and returns true; returns false,
// leaving it as it was, where the processor has no CPUID. Whether the processor knows the leaf
// is the caller's to check, from leaf 0, 0x80000000 or 0x40000000.
bool ReadCpuidLeaf(unsigned number, CpuidLeaf* leaf);
