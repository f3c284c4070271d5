#include "measure/cycles_per_link.h"

// The latency of a dependent "add r32, r32", in core clock cycles:
//
//   processor                                         cycles  source
//   80386                                             2       Intel, 80386 Programmer's Reference
//                                                             Manual (1986), ADD register to register
//   80486                                             1       Intel, i486 Microprocessor Programmer's
//                                                             Reference Manual (1990), ADD reg, reg
//   Pentium 4 Willamette, Northwood, Gallatin         0.5     InstLatX64; their simple integer units
//     (GenuineIntel family 15, models 0 to 2)                 run at twice the core clock
//   every other x86 processor: the Pentium to the     1       InstLatX64
//     Pentium 4 Prescott and Cedar Mill (family 15,
//     models 3 to 6), every AMD processor through
//     Zen 5, Intel's current performance and
//     efficiency cores
//
// Processors without CPUID are the 80386 and the early 80486; GetSystemInfo tells them apart
// by its processor type, 386 or 486.
namespace {
const unsigned long ProcessorType386 = 386;
}

double CyclesPerLink(const ProcessorSignature* signature, unsigned long processorType)
{
    if (signature == nullptr)
        return processorType == ProcessorType386 ? 2.0 : 1.0;
    if (signature->genuineIntel && signature->family == 15 && signature->model <= 2)
        return 0.5;
    return 1.0;
}
