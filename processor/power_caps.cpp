#include "processor/power_caps.h"

#include <atomic>

#include "app/format_text.h"
#include "processor/power_platform.h"
#include "processor/rated_clocks.h"

namespace {

// The caps line as it grows: each cap after the ones before it, comma-separated.
class CapList {
public:
    CapList(char* text, size_t room) : text_(text), room_(room), length_(0), count_(0)
    {
        add("Begrenzt durch / Capped by: ", "");
        count_ = 0;
    }

    void add(const char* cap, const char* kind = "")
    {
        if (length_ + 1 >= room_)
            return;
        const int written = FormatText(text_ + length_, room_ - length_, "%s%s%s", count_ > 0 ? ", " : "", kind, cap);
        length_ += written < static_cast<int>(room_ - length_) ? written : room_ - length_ - 1;
        ++count_;
    }

    int count() const { return count_; }

private:
    char* text_;
    size_t room_;
    size_t length_;
    int count_;
};

} // namespace

void FormatPowerCaps(const PowerCaps& caps, char* text, size_t room)
{
    if (room == 0)
        return;
    CapList list(text, room);
    char cap[48];
    for (int k = 0; k < 2; ++k) {
        const char* kind = k == 0 ? "" : "class 1 ";
        if (caps.maxState[k] < 100) {
            FormatText(cap, sizeof cap, "max. processor state %lu %%: no boost", static_cast<unsigned long>(caps.maxState[k]));
            list.add(cap, kind);
        }
        if (k == 0 && caps.boostOff)
            list.add("boost off");
        if (caps.maxFrequencyMhz[k] != 0) {
            char mhz[MhzTextSize];
            FormatGroupedMhz(caps.maxFrequencyMhz[k], mhz);
            FormatText(cap, sizeof cap, "max. frequency %s MHz", mhz);
            list.add(cap, kind);
        }
    }
    if (caps.onBattery)
        list.add("on battery");
    if (caps.batterySaver)
        list.add("battery saver");
    if (caps.efficiencyMode)
        list.add("best power efficiency");
    if (list.count() == 0)
        list.add(caps.schemeKnown && caps.statusKnown ? "keine / none"
                                                      : "Energieeinstellungen unbekannt / power settings unknown");
}

namespace {

// The processor settings of a power scheme, as the headers of Windows name them (winnt.h):
// the subgroup, the maximum processor state in per cent, the boost mode, and the maximum
// frequency in MHz, each of the last but the boost mode also for cores of efficiency class 1.
const GUID ProcessorSettingsSubgroup = {0x54533251, 0x82BE, 0x4824, {0x96, 0xC1, 0x47, 0xB6, 0x0B, 0x74, 0x0D, 0x00}};
const GUID ProcessorThrottleMaximum[2] = {
    {0xBC5038F7, 0x23E0, 0x4960, {0x96, 0xDA, 0x33, 0xAB, 0xAF, 0x59, 0x35, 0xEC}},
    {0xBC5038F7, 0x23E0, 0x4960, {0x96, 0xDA, 0x33, 0xAB, 0xAF, 0x59, 0x35, 0xED}},
};
const GUID ProcessorPerfBoostMode = {0xBE337238, 0x0D82, 0x4146, {0xA9, 0x60, 0x4F, 0x37, 0x49, 0xD4, 0x70, 0xC7}};
const GUID ProcessorFrequencyLimit[2] = {
    {0x75B0AE3F, 0xBCE0, 0x45A7, {0x8C, 0x89, 0xC9, 0x61, 0x1C, 0x25, 0xE1, 0x00}},
    {0x75B0AE3F, 0xBCE0, 0x45A7, {0x8C, 0x89, 0xC9, 0x61, 0x1C, 0x25, 0xE1, 0x01}},
};
const DWORD BoostModeDisabled = 0;  // PROCESSOR_PERF_BOOST_MODE_DISABLED
const BYTE PowerSavingOn = 1;       // SYSTEM_STATUS_FLAG_POWER_SAVING_ON
const ULONG EffectivePowerModeV1 = 1;
const LONG BetterBatteryMode = 1;   // EffectivePowerModeBetterBattery: "best power efficiency"
const LONG BatterySaverMode = 0;    // EffectivePowerModeBatterySaver
const DWORD PowerModeWaitMs = 100;

// The power mode the callback reported; -1 until it has. The callback may come on a thread of
// the system's, and after the wait has given up, so what it writes lives as long as the
// process.
std::atomic<LONG> reportedMode{-1};
HANDLE modeReported = nullptr;

void WINAPI notePowerMode(int mode, void*)
{
    reportedMode.store(mode);
    SetEvent(modeReported);
}

// The Windows power mode, -1 where the system does not report it.
LONG readPowerMode()
{
    const PowerPlatform& platform = powerPlatform();
    if (platform.PowerRegisterForEffectivePowerModeNotifications == nullptr
        || platform.PowerUnregisterFromEffectivePowerModeNotifications == nullptr)
        return -1;
    if (modeReported == nullptr)
        modeReported = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (modeReported == nullptr)
        return -1;
    // A late report of an earlier read, taken off the event.
    WaitForSingleObject(modeReported, 0);
    reportedMode.store(-1);
    void* registration = nullptr;
    if (platform.PowerRegisterForEffectivePowerModeNotifications(EffectivePowerModeV1, notePowerMode, nullptr,
                                                                 &registration)
        != S_OK)
        return -1;
    WaitForSingleObject(modeReported, PowerModeWaitMs);
    platform.PowerUnregisterFromEffectivePowerModeNotifications(registration);
    return reportedMode.load();
}

// The active scheme's processor settings for the power source in use; false where the scheme
// or its maximum processor state cannot be read.
bool readScheme(PowerCaps& caps, bool onBattery, bool hybrid)
{
    const PowerPlatform& platform = powerPlatform();
    if (platform.PowerGetActiveScheme == nullptr || platform.PowerReadACValueIndex == nullptr
        || platform.PowerReadDCValueIndex == nullptr)
        return false;
    GUID* scheme = nullptr;
    // A failed call need not set the pointer: it is released only after a success.
    if (platform.PowerGetActiveScheme(nullptr, &scheme) != ERROR_SUCCESS)
        return false;
    if (scheme == nullptr)
        return false;
    const PowerReadValueIndexProc read = onBattery ? platform.PowerReadDCValueIndex : platform.PowerReadACValueIndex;
    bool known = false;
    for (int k = 0; k < (hybrid ? 2 : 1); ++k) {
        DWORD value = 0;
        if (read(nullptr, scheme, &ProcessorSettingsSubgroup, &ProcessorThrottleMaximum[k], &value) == ERROR_SUCCESS) {
            caps.maxState[k] = value;
            known = known || k == 0;
        }
        if (read(nullptr, scheme, &ProcessorSettingsSubgroup, &ProcessorFrequencyLimit[k], &value) == ERROR_SUCCESS)
            caps.maxFrequencyMhz[k] = value;
    }
    DWORD boost = 0;
    if (read(nullptr, scheme, &ProcessorSettingsSubgroup, &ProcessorPerfBoostMode, &boost) == ERROR_SUCCESS)
        caps.boostOff = boost == BoostModeDisabled;
    platform.LocalFree(scheme);
    return known;
}

} // namespace

PowerCaps ReadPowerCaps(bool hybrid)
{
    const PowerPlatform& platform = powerPlatform();
    PowerCaps caps;
    ZeroMemory(&caps, sizeof caps);
    caps.maxState[0] = caps.maxState[1] = 100;
    SYSTEM_POWER_STATUS status;
    ZeroMemory(&status, sizeof status);
    caps.statusKnown = platform.GetSystemPowerStatus != nullptr && platform.GetSystemPowerStatus(&status);
    if (caps.statusKnown) {
        caps.onBattery = status.ACLineStatus == 0;
        // SystemStatusFlag, which older headers call Reserved1.
        caps.batterySaver = status.Reserved1 == PowerSavingOn;
    }
    caps.schemeKnown = readScheme(caps, caps.onBattery, hybrid);
    const LONG mode = readPowerMode();
    caps.efficiencyMode = mode == BetterBatteryMode;
    caps.batterySaver = caps.batterySaver || mode == BatterySaverMode;
    return caps;
}
