#include "processor/power_platform.h"

namespace {

// A function of a library that is loaded, or null; GetProcAddress gives a plain address.
template <typename Proc>
Proc Entry(HMODULE module, const char* name)
{
    FARPROC entry = module != nullptr ? ::GetProcAddress(module, name) : nullptr;
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(entry));
}

} // namespace

PowerPlatform::PowerPlatform()
{
    // kernel32 is loaded in every process; powrprof.dll is kept loaded once the table exists.
    HMODULE kernel = ::GetModuleHandleA("KERNEL32.DLL");
    HMODULE power = ::LoadLibraryA("POWRPROF.DLL");
    GetSystemPowerStatus = Entry<GetSystemPowerStatusProc>(kernel, "GetSystemPowerStatus");
    PowerGetActiveScheme = Entry<PowerGetActiveSchemeProc>(power, "PowerGetActiveScheme");
    PowerReadACValueIndex = Entry<PowerReadValueIndexProc>(power, "PowerReadACValueIndex");
    PowerReadDCValueIndex = Entry<PowerReadValueIndexProc>(power, "PowerReadDCValueIndex");
    PowerRegisterForEffectivePowerModeNotifications = Entry<PowerRegisterForEffectivePowerModeNotificationsProc>(
        power, "PowerRegisterForEffectivePowerModeNotifications");
    PowerUnregisterFromEffectivePowerModeNotifications = Entry<PowerUnregisterFromEffectivePowerModeNotificationsProc>(
        power, "PowerUnregisterFromEffectivePowerModeNotifications");
}

PowerPlatform& powerPlatform()
{
    static PowerPlatform platform;
    return platform;
}
