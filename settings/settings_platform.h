#pragma once
#include <windows.h>

// The registry calls the control-state store makes, reached through one
// replaceable table so that tests can make a single call fail. Initialised to
// the real functions.
struct SettingsPlatform {
    decltype(&::RegOpenKeyExA) RegOpenKeyExA = ::RegOpenKeyExA;
    decltype(&::RegCreateKeyExA) RegCreateKeyExA = ::RegCreateKeyExA;
    decltype(&::RegQueryValueExA) RegQueryValueExA = ::RegQueryValueExA;
    decltype(&::RegSetValueExA) RegSetValueExA = ::RegSetValueExA;
    decltype(&::RegCloseKey) RegCloseKey = ::RegCloseKey;
};

SettingsPlatform& settingsPlatform();  // the one in use
