#pragma once

// The exit code of the legacy-platform probe program.
const int LegacyProbeRan = 0x100;
const int LegacyProbeCounterPresent = 0x01;
const int LegacyProbeNtPlatform = 0x02;
const int LegacyProbeMaskPermitted = 0x04;
const int LegacyProbeSamplesAdvance = 0x08;
const int LegacyProbeEstimated = 0x10;
