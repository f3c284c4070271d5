#pragma once

// The clock the core of the calling thread's processor runs at, in MHz, measured with chains
// of dependent additions (chain_timing.h) right where the thread runs: timed by the time-stamp
// counter, scaled by timeStampMhz, the counter's rate just measured on the same processor;
// where there is no such rate (timeStampMhz 0 or less: no usable counter, as on the 80386 and
// 80486), by the performance counter. Takes about 6 ms on the time-stamp counter and at most
// about 35 ms on a 1.19 MHz performance counter. 0.0 when it cannot be measured, or when a
// fault interrupts the measurement.
double MeasureCoreClock(double timeStampMhz);

// The cycles a link of the chains takes on the calling thread's processor (cycles_per_link.h),
// known by its CPUID signature or, without CPUID, by the processor type GetSystemInfo reports.
double ProcessorCyclesPerLink();
