#pragma once

#include <windows.h>

#include "measure/processor_groups.h"

// The efficiency class of each listed processor (Windows 10 and later tell them apart on
// processors with cores of two kinds; a higher class is the faster kind), written to classes;
// 0 for every processor where the system does not tell.
void ReadEfficiencyClasses(const ProcessorPlace* places, LONG count, BYTE* classes);
