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
