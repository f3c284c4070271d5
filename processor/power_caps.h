#pragma once

#include <windows.h>

#include <stddef.h>

// The settings of the system that hold the processor's clocks down, where Windows tells them:
// the active power scheme's processor settings (Windows Vista and later), whether the machine
// runs on battery and with battery saver on, and the Windows power mode.
struct PowerCaps {
    // Whether the active power scheme was read, and whether GetSystemPowerStatus answered.
    bool schemeKnown;
    bool statusKnown;
    bool onBattery;
    bool batterySaver;
    // The power mode is "best power efficiency" (Windows 10 1809 and later report it).
    bool efficiencyMode;
    // The scheme's settings for the power source in use: the maximum processor state in per
    // cent (100 where unknown) and the maximum frequency in MHz (0: none), for all cores and,
    // on machines with kinds of cores, for those of efficiency class 1 in [1].
    DWORD maxState[2];
    DWORD maxFrequencyMhz[2];
    bool boostOff;
};

// Room for the caps line.
const size_t PowerCapsTextSize = 256;

// The caps line: "Begrenzt durch / Capped by: " and every cap found, separated by commas; "keine
// / none" where both the scheme and the power status were read and nothing caps; that the
// power settings are unknown where nothing caps and something was not read.
void FormatPowerCaps(const PowerCaps& caps, char* text, size_t room);

// Reads the caps through the platform table, each function looked up at run time. With
// hybrid, the settings for efficiency class 1 too.
PowerCaps ReadPowerCaps(bool hybrid);
