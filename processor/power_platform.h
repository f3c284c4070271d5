#pragma once

#include <windows.h>

// The power settings (Windows Vista and later, powrprof.dll) and the power status.
typedef DWORD(WINAPI* PowerGetActiveSchemeProc)(HKEY root, GUID** scheme);
typedef DWORD(WINAPI* PowerReadValueIndexProc)(HKEY root, const GUID* scheme, const GUID* subgroup,
                                               const GUID* setting, LPDWORD value);
typedef BOOL(WINAPI* GetSystemPowerStatusProc)(LPSYSTEM_POWER_STATUS status);
// The Windows power mode (Windows 10 1809 and later): the callback is called once with the mode
// in force soon after it is registered.
typedef void(WINAPI* EffectivePowerModeCallback)(int mode, void* context);
typedef HRESULT(WINAPI* PowerRegisterForEffectivePowerModeNotificationsProc)(ULONG version,
                                                                             EffectivePowerModeCallback callback,
                                                                             void* context, void** registration);
typedef HRESULT(WINAPI* PowerUnregisterFromEffectivePowerModeNotificationsProc)(void* registration);

// Every platform operation through which the rated clocks and the settings that cap them are
// read (the nominal clock Windows records, the power scheme, the power status and mode),
// reached through one table so that logic tests can put fakes in place. The table is made when
// it is first asked for, and only then is powrprof.dll loaded. The fields start as the real
// operations.
struct PowerPlatform {
    // The rated clock Windows records, in the registry.
    decltype(&::RegOpenKeyExA) RegOpenKeyExA = ::RegOpenKeyExA;
    decltype(&::RegQueryValueExA) RegQueryValueExA = ::RegQueryValueExA;
    decltype(&::RegCloseKey) RegCloseKey = ::RegCloseKey;
    // What PowerGetActiveScheme returns is released with LocalFree.
    decltype(&::LocalFree) LocalFree = ::LocalFree;

    // Looked up when the table is made, in kernel32 and in powrprof.dll, which then stays
    // loaded for the life of the process; null where the system lacks them.
    GetSystemPowerStatusProc GetSystemPowerStatus;
    PowerGetActiveSchemeProc PowerGetActiveScheme;
    PowerReadValueIndexProc PowerReadACValueIndex;
    PowerReadValueIndexProc PowerReadDCValueIndex;
    PowerRegisterForEffectivePowerModeNotificationsProc PowerRegisterForEffectivePowerModeNotifications;
    PowerUnregisterFromEffectivePowerModeNotificationsProc PowerUnregisterFromEffectivePowerModeNotifications;

    PowerPlatform();
};

// The table in use. Tests replace fields and restore the table afterwards.
PowerPlatform& powerPlatform();
