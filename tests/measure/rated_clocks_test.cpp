// The rated clocks, the verdict against them and what caps them, from faked CPUID, registry
// and power functions. The power settings' GUIDs are defined here as the system's headers
// declare them, so that the faked power functions answer only settings named rightly.
#include <initguid.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <string.h>

#include <map>
#include <string>
#include <vector>

#include "fake_measure_platform.h"
#include "processor/efficiency_classes.h"
#include "processor/power_caps.h"
#include "processor/rated_clocks.h"
#include "support/fake_processors.h"
#include "ui/clock_verdict.h"
#include "ui/rated_line.h"

namespace {

using Leaves = std::map<unsigned, CpuidLeaf>;

// The registry's ~MHz as the fakes answer it, and the keys they hold open.
struct FakeMhzValue {
    LONG openStatus;
    LONG queryStatus;
    DWORD type;
    DWORD size;
    DWORD mhz;
} fakeMhz;
int openKeys;

LONG WINAPI FakeRegOpenKeyExA(HKEY, LPCSTR path, DWORD, REGSAM, PHKEY key)
{
    EXPECT_STREQ("HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0", path);
    *key = reinterpret_cast<HKEY>(0x1234);
    openKeys += fakeMhz.openStatus == ERROR_SUCCESS ? 1 : 0;
    return fakeMhz.openStatus;
}

LONG WINAPI FakeRegQueryValueExA(HKEY, LPCSTR name, LPDWORD, LPDWORD type, LPBYTE data, LPDWORD size)
{
    EXPECT_STREQ("~MHz", name);
    *type = fakeMhz.type;
    if (fakeMhz.queryStatus == ERROR_SUCCESS && fakeMhz.size <= *size)
        memcpy(data, &fakeMhz.mhz, fakeMhz.size);
    *size = fakeMhz.size;
    return fakeMhz.queryStatus;
}

std::string ratedLine(const Leaves& leaves, const char* brand, bool ntFamily, const FakeMhzValue& mhz,
                      const ProcessorClasses& classes = ProcessorClasses())
{
    if (!leaves.empty())
        installFakeCpuid(leaves);
    fakeMhz = mhz;
    PowerPlatform& platform = powerPlatform();
    platform.RegOpenKeyExA = FakeRegOpenKeyExA;
    platform.RegQueryValueExA = FakeRegQueryValueExA;
    platform.RegCloseKey = [](HKEY) -> LONG WINAPI { return --openKeys, ERROR_SUCCESS; };
    char text[256];
    FormatRatedLine(ReadRatedClocks(classes, brand, ntFamily), text, sizeof text);
    EXPECT_EQ(0, openKeys) << "every opened key is closed";
    return text;
}

TEST(RatedClocks, Leaf16ElseTheBrandStringElseTheRegistryAndUnknownWhereNoneTells)
{
    MeasurePlatformScope scope;
    const Leaves none = {{0, vendorLeaf(1, "GenuineIntel")}};
    const FakeMhzValue good = {ERROR_SUCCESS, ERROR_SUCCESS, REG_DWORD, 4, 2993};
    const char* const ivyBridge = "Intel(R) Core(TM) i7-3770K CPU @ 3.50GHz";
    const char* const amd = "AMD Ryzen 7 7840U";
    const std::string noMax = ", max. unbekannt / unknown";
    const std::string unknown = "unbekannt / unknown";
    struct Case {
        const char* name;
        Leaves leaves;
        const char* brand;
        bool ntFamily;
        FakeMhzValue mhz;
        std::string expected;
    } cases[] = {
        {"leaf 0x16", {{0, vendorLeaf(0x16, "GenuineIntel")}, {0x16, {3700, 5300, 100, 0}}}, ivyBridge, true, good,
         "Basis / base 3,700 MHz, max. 5,300 MHz (CPUID)"},
        {"only the maximum", {{0, vendorLeaf(0x16, "GenuineIntel")}, {0x16, {0, 5300, 0, 0}}}, ivyBridge, true, good,
         "Basis / base 3,500 MHz (Name), max. 5,300 MHz (CPUID)"},
        {"only the base", {{0, vendorLeaf(0x1F, "GenuineIntel")}, {0x16, {2100, 0, 0, 0}}}, "", true, good,
         "Basis / base 2,100 MHz (CPUID)" + noMax},
        // Hypervisors zero the leaf or leave it out; other vendors' leaf 0x16 means something else.
        {"leaf zeroed", {{0, vendorLeaf(0x16, "GenuineIntel")}}, ivyBridge, true, good,
         "Basis / base 3,500 MHz (Name)" + noMax},
        {"leaf left out", {{0, vendorLeaf(0xD, "GenuineIntel")}, {0x16, {3700, 5300, 0, 0}}},
         "Pentium(R) III CPU - S 1133MHz", true, good, "Basis / base 1,133 MHz (Name)" + noMax},
        {"not Intel", {{0, vendorLeaf(0x16, "AuthenticAMD")}, {0x16, {3700, 5300, 0, 0}}}, "VIA Esther processor 1200MHz",
         true, good, "Basis / base 1,200 MHz (Name)" + noMax},
        {"no number: the registry", none, "13th Gen Intel(R) Core(TM) i9-13900H", true, good,
         "Basis / base 2,993 MHz (Windows)" + noMax},
        {"0.00GHz", none, "Genuine Intel(R) CPU 0000 @ 0.00GHz", true, good, "Basis / base 2,993 MHz (Windows)" + noMax},
        {"THz", none, "Some CPU @ 0.004THz", false, good, "Basis / base 4,000 MHz (Name)" + noMax},
        {"past 100 GHz", none, "Fast CPU @ 150.00GHz", false, good, unknown},
        {"registry outside NT", none, amd, false, good, unknown},
        {"key absent", none, amd, true, {ERROR_FILE_NOT_FOUND, ERROR_SUCCESS, REG_DWORD, 4, 2993}, unknown},
        {"value absent", none, amd, true, {ERROR_SUCCESS, ERROR_FILE_NOT_FOUND, REG_NONE, 0, 0}, unknown},
        {"value a string", none, amd, true, {ERROR_SUCCESS, ERROR_SUCCESS, REG_SZ, 4, 0x00333939}, unknown},
        {"value too long", none, amd, true, {ERROR_SUCCESS, ERROR_MORE_DATA, REG_DWORD, 8, 2993}, unknown},
        {"value 0", none, amd, true, {ERROR_SUCCESS, ERROR_SUCCESS, REG_DWORD, 4, 0}, unknown},
    };
    for (const Case& c : cases)
        EXPECT_EQ("Nenntakt / Rated: " + c.expected, ratedLine(c.leaves, c.brand, c.ntFamily, c.mhz)) << c.name;
}

// The processor the calling thread was bound to last.
GROUP_AFFINITY boundTo;

std::string verdictOf(const std::vector<double>& coreClocks, const RatedClocks& rated, bool oneByOne,
                      const ProcessorClasses& classes = ProcessorClasses())
{
    static ResultTable table;
    table.setCount(static_cast<LONG>(coreClocks.size()));
    for (size_t k = 0; k < coreClocks.size(); ++k)
        table.storeCoreClock(static_cast<int>(k + 1), coreClocks[k]);
    char text[96];
    memset(text, 'x', sizeof text);
    FormatVerdict(JudgeCoreClocks(table, classes, rated, oneByOne), text, sizeof text);
    return text;
}

// Four processors, two to a core: the first core's are efficiency cores, whose leaf 0x16
// answers other clocks than the performance cores'.
TEST(RatedClocks, EachKindReadOnOneOfItsProcessorsAndItsCoresHeldAgainstItsOwnClocks)
{
    MeasurePlatformScope scope;
    FakeProcessors four(4);
    FakeCoreClasses classOf([](LONG k) { return BYTE(k <= 2 ? 0 : 1); });
    processorPlatform().SetThreadGroupAffinity = [](HANDLE, const GROUP_AFFINITY* affinity,
                                                    PGROUP_AFFINITY previous) -> BOOL WINAPI {
        if (previous != nullptr)
            *previous = boundTo;
        boundTo = *affinity;
        return TRUE;
    };
    processorPlatform().ReadCpuidLeaf = [](unsigned number, CpuidLeaf* leaf) {
        const bool efficiency = boundTo.Group == 0 && boundTo.Mask == 1;
        *leaf = number == 0 ? vendorLeaf(0x20, "GenuineIntel")
                : number != 0x16 ? CpuidLeaf{0, 0, 0, 0}
                : efficiency ? CpuidLeaf{1800, 3900, 100, 0}
                             : CpuidLeaf{2600, 5400, 100, 0};
        return true;
    };
    const GROUP_AFFINITY unbound = {0x7, 3, {}};
    boundTo = unbound;
    ProcessorClasses classes;
    classes.read();
    ASSERT_EQ(2, classes.kinds());
    EXPECT_EQ("Nenntakt / Rated: P: Basis / base 2,600 MHz, max. 5,400 MHz (CPUID); "
              "E: Basis / base 1,800 MHz, max. 3,900 MHz (CPUID)",
              ratedLine({}, "", true, fakeMhz, classes));
    EXPECT_EQ(unbound.Mask, boundTo.Mask) << "the thread's own processors given back";
    EXPECT_EQ(unbound.Group, boundTo.Group);

    const RatedClocks hybrid = {2, {{2600, 5400, RatedByCpuid}, {1800, 3900, RatedByCpuid}}};
    EXPECT_EQ("erreicht / reaches 100.0 % of 5,400 MHz", verdictOf({1900.0, 1900.0, 5400.0, 5300.0}, hybrid, true, classes))
        << "E cores at 1,900 MHz are above their base";
    EXPECT_EQ("erreicht / reaches 108.3 % of 1,800 MHz, unter Basistakt / below base",
              verdictOf({1900.0, 1900.0, 2000.0, 5300.0}, hybrid, false, classes))
        << "the median, 1,950 MHz, against the base of the lower middle core's kind (E); a P core under its base";
}

TEST(ClockVerdict, FastestAgainstTheMaximumOrMedianAgainstTheBaseAndHeldBackUnder95PerCentOfBase)
{
    const RatedClocks both = {0, {{4000, 5000, RatedByCpuid}}};
    const RatedClocks base = {0, {{4000, 0, RatedByBrand}}};
    const RatedClocks none = {0, {{0, 0, RatedUnknown}}};
    struct Case {
        const char* name;
        std::vector<double> clocks;
        const RatedClocks& rated;
        bool oneByOne;
        const char* expected;
    } cases[] = {
        {"fastest of max", {4100.0, 4930.0, 0.0}, both, true, "erreicht / reaches 98.6 % of 5,000 MHz"},
        {"fastest of base", {4100.0, 4200.0}, base, true, "erreicht / reaches 105.0 % of 4,000 MHz"},
        {"median of base", {3900.0, 4100.0, 3950.0, 9000.0, 0.0}, both, false, "erreicht / reaches 100.6 % of 4,000 MHz"},
        {"at 95 %", {3800.0, 3800.0}, base, false, "erreicht / reaches 95.0 % of 4,000 MHz"},
        {"just under 95 %", {3799.0, 3801.0}, base, false,
         "erreicht / reaches 95.0 % of 4,000 MHz, unter Basistakt / below base"},
        {"one core held back", {4900.0, 1200.0}, both, true,
         "erreicht / reaches 98.0 % of 5,000 MHz, unter Basistakt / below base"},
        {"no rated clock", {4000.0}, none, false, ""},
        {"no core clock", {0.0, 0.0}, both, false, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, verdictOf(c.clocks, c.rated, c.oneByOne)) << c.name;
}

// What the faked power functions answer: the settings by the last byte of their GUIDs, absent
// where not found.
struct FakePower {
    BOOL statusResult;
    BYTE acLine;
    BYTE statusFlag;
    DWORD schemeResult;
    std::map<BYTE, DWORD> ac;
    std::map<BYTE, DWORD> dc;
    int mode; // -1: no report
} fakePower;
GUID fakeScheme;
int schemesFreed;
int strayFrees;

// Those MinGW-w64's winnt.h lacks, as the Windows SDK's winnt.h defines them.
DEFINE_GUID(ThrottleMaximum1, 0xBC5038F7, 0x23E0, 0x4960, 0x96, 0xDA, 0x33, 0xAB, 0xAF, 0x59, 0x35, 0xED);
DEFINE_GUID(FrequencyLimit, 0x75b0ae3f, 0xbce0, 0x45a7, 0x8c, 0x89, 0xc9, 0x61, 0x1c, 0x25, 0xe1, 0x00);
DEFINE_GUID(FrequencyLimit1, 0x75b0ae3f, 0xbce0, 0x45a7, 0x8c, 0x89, 0xc9, 0x61, 0x1c, 0x25, 0xe1, 0x01);

// The scheme's settings for one power source, values of fakePower.
template <std::map<BYTE, DWORD> FakePower::*values>
DWORD WINAPI FakeReadValueIndex(HKEY, const GUID*, const GUID* subgroup, const GUID* setting, LPDWORD value)
{
    bool known = false;
    for (const GUID* candidate : {&GUID_PROCESSOR_THROTTLE_MAXIMUM, &ThrottleMaximum1, &GUID_PROCESSOR_PERF_BOOST_MODE,
                                  &FrequencyLimit, &FrequencyLimit1})
        known = known || IsEqualGUID(*setting, *candidate);
    auto found = (fakePower.*values).find(setting->Data4[7]);
    if (!IsEqualGUID(*subgroup, GUID_PROCESSOR_SETTINGS_SUBGROUP) || !known || found == (fakePower.*values).end())
        return ERROR_FILE_NOT_FOUND;
    *value = found->second;
    return ERROR_SUCCESS;
}

std::string capsLine(const FakePower& power, bool hybrid, bool functions = true)
{
    fakePower = power;
    PowerPlatform& platform = powerPlatform();
    platform.GetSystemPowerStatus = [](LPSYSTEM_POWER_STATUS status) -> BOOL WINAPI {
        status->ACLineStatus = fakePower.acLine;
        status->Reserved1 = fakePower.statusFlag;
        return fakePower.statusResult;
    };
    // Wine fails and leaves the pointer as it was.
    platform.PowerGetActiveScheme = [](HKEY, GUID** scheme) -> DWORD WINAPI {
        if (fakePower.schemeResult == ERROR_SUCCESS)
            *scheme = &fakeScheme;
        return fakePower.schemeResult;
    };
    platform.PowerReadACValueIndex = FakeReadValueIndex<&FakePower::ac>;
    platform.PowerReadDCValueIndex = FakeReadValueIndex<&FakePower::dc>;
    platform.PowerRegisterForEffectivePowerModeNotifications =
        [](ULONG, EffectivePowerModeCallback callback, void* context, void** registration) -> HRESULT WINAPI {
        if (fakePower.mode >= 0)
            callback(fakePower.mode, context);
        *registration = &fakePower;
        return fakePower.mode >= 0 ? S_OK : E_NOTIMPL;
    };
    platform.PowerUnregisterFromEffectivePowerModeNotifications = [](void*) -> HRESULT WINAPI { return S_OK; };
    if (!functions) {
        platform.GetSystemPowerStatus = nullptr;
        platform.PowerGetActiveScheme = nullptr;
        platform.PowerRegisterForEffectivePowerModeNotifications = nullptr;
    }
    platform.LocalFree = [](HLOCAL memory) -> HLOCAL WINAPI {
        (memory == &fakeScheme ? schemesFreed : strayFrees) += 1;
        return nullptr;
    };
    schemesFreed = strayFrees = 0;
    char text[PowerCapsTextSize];
    FormatPowerCaps(ReadPowerCaps(hybrid), text, sizeof text);
    EXPECT_EQ(power.schemeResult == ERROR_SUCCESS && functions ? 1 : 0, schemesFreed) << text;
    EXPECT_EQ(0, strayFrees) << text;
    return text;
}

TEST(PowerCaps, EveryCapOfThePowerSourceInUseNoneWhereAllAnsweredElseUnknown)
{
    MeasurePlatformScope scope;
    // Maximum processor state 0xEC (class 1: 0xED), boost mode 0xC7, maximum frequency 0x00
    // (class 1: 0x01).
    const std::map<BYTE, DWORD> full = {{0xEC, 100}, {0xED, 100}, {0xC7, 2}, {0x00, 0}, {0x01, 0}};
    const FakePower mains = {TRUE, 1, 0, ERROR_SUCCESS, full, full, 2};
    const std::string unknown = "Energieeinstellungen unbekannt / power settings unknown";
    struct Case {
        const char* name;
        void (*change)(FakePower& power);
        bool hybrid;
        std::string expected;
    } cases[] = {
        {"nothing caps", [](FakePower&) {}, true, "keine / none"},
        {"99 %", [](FakePower& p) { p.ac[0xEC] = 99; }, false, "max. processor state 99 %: no boost"},
        {"boost off and a frequency cap", [](FakePower& p) { p.ac[0xC7] = 0, p.ac[0x00] = 2500; }, false,
         "boost off, max. frequency 2,500 MHz"},
        {"class 1 read only on hybrids", [](FakePower& p) { p.ac[0xED] = 80, p.ac[0x01] = 3000; }, false, "keine / none"},
        {"class 1", [](FakePower& p) { p.ac[0xED] = 80, p.ac[0x01] = 3000; }, true,
         "class 1 max. processor state 80 %: no boost, class 1 max. frequency 3,000 MHz"},
        {"on battery: the battery's settings", [](FakePower& p) { p.acLine = 0, p.dc[0xEC] = 70; }, false,
         "max. processor state 70 %: no boost, on battery"},
        {"battery saver and best power efficiency", [](FakePower& p) { p.acLine = 0, p.statusFlag = 1, p.mode = 1; },
         false, "on battery, battery saver, best power efficiency"},
        {"battery saver as the power mode", [](FakePower& p) { p.mode = 0; }, false, "battery saver"},
        {"no power mode reported", [](FakePower& p) { p.mode = -1; }, false, "keine / none"},
        {"scheme fails, pointer unset", [](FakePower& p) { p.schemeResult = ERROR_CALL_NOT_IMPLEMENTED; }, false, unknown},
        {"no maximum state", [](FakePower& p) { p.ac.erase(0xEC); }, false, unknown},
        {"no power status, but a cap", [](FakePower& p) { p.statusResult = FALSE, p.ac[0xEC] = 50; }, false,
         "max. processor state 50 %: no boost"},
    };
    for (const Case& c : cases) {
        FakePower power = mains;
        c.change(power);
        EXPECT_EQ("Begrenzt durch / Capped by: " + c.expected, capsLine(power, c.hybrid)) << c.name;
    }
    EXPECT_EQ("Begrenzt durch / Capped by: " + unknown, capsLine(mains, true, false)) << "no power functions at all";
}

} // namespace
