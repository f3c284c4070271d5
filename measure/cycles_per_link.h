#pragma once

#include "processor/processor_instructions.h"

// The cycles one link of the dependent chains (dependent_chain.h), a 32-bit register-to-
// register addition waiting for the one before, takes on a processor: by its CPUID signature,
// or, where it has none (signature null), by the processor type GetSystemInfo reports.
double CyclesPerLink(const ProcessorSignature* signature, unsigned long processorType);
