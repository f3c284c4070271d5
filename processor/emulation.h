#pragma once

// Whether this program's x86 code runs on an x86 processor. Where it does not, the time-stamp
// counter is whatever the emulator makes of some other timer, and chains of additions time
// translated code rather than a core, so no core clock can be measured.

// Null where the code runs on an x86 processor, a hardware hypervisor's included; else the
// short name of what emulates it: "ARM64" (Windows on ARM, found with IsWow64Process2),
// "QEMU TCG" or "FEX" (named by CPUID's hypervisor leaf). Read afresh through the platform
// table.
const char* DetectEmulation();

// DetectEmulation's answer, decided on the first call, on whichever thread makes it, and kept
// for the life of the process.
const char* EmulatedOn();
