#include "processor/rated_clocks.h"

#include <new>
#include <string.h>

#include "processor/efficiency_classes.h"
#include "processor/processor_groups.h"
#include "processor/power_platform.h"
#include "processor/processor_platform.h"

namespace {

const unsigned FrequencyLeaf = 0x16;
// No processor runs past this; a larger number in a brand string is not a clock.
const DWORD HighestRatedMhz = 100000;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The number that ends right before end, with one blank allowed between them, in thousandths
// (digits past them are dropped); 0 where there is none or it is past a hundred million.
DWORD thousandthsBefore(const char* brand, const char* end)
{
    if (end > brand && end[-1] == ' ')
        --end;
    const char* start = end;
    while (start > brand && (isDigit(start[-1]) || start[-1] == '.'))
        --start;
    DWORD value = 0;
    int decimals = -1; // after the point, the digits taken so far
    for (const char* at = start; at < end; ++at) {
        if (*at == '.') {
            if (decimals >= 0)
                return 0;
            decimals = 0;
        } else if (decimals < 3) {
            value = value * 10 + (*at - '0');
            decimals += decimals >= 0 ? 1 : 0;
            if (value > 100000000)
                return 0;
        }
    }
    for (decimals = decimals < 0 ? 0 : decimals; decimals < 3; ++decimals)
        value *= 10;
    return value;
}

// Leaf 0x16 on the processor the calling thread runs on.
RatedClock readLeaf16()
{
    const ProcessorPlatform& platform = processorPlatform();
    CpuidLeaf leaf0 = {};
    CpuidLeaf leaf16 = {};
    if (!platform.ReadCpuidLeaf(0, &leaf0) || !platform.ReadCpuidLeaf(FrequencyLeaf, &leaf16))
        return RatedClock{0, 0, RatedUnknown};
    return Leaf16Clock(leaf0, leaf16);
}

// Leaf 0x16 on one processor of each kind of core, the calling thread bound to it for the
// moment and then given its own processors back. Where a binding fails, the leaf is read
// wherever the thread runs. Returns the kinds read, 0 where there is nothing to tell apart.
int readLeaf16ByKind(const ProcessorClasses& classes, RatedClock (&byRank)[RatedKinds])
{
    const ProcessorPlatform& platform = processorPlatform();
    const int kinds = classes.kinds() < RatedKinds ? classes.kinds() : RatedKinds;
    if (kinds < 2 || platform.SetThreadGroupAffinity == nullptr)
        return 0;
    ProcessorPlace* places = new (std::nothrow) ProcessorPlace[MostProcessors];
    if (places == nullptr)
        return 0;
    const LONG processors = ListMeasuredProcessors(places, MostProcessors);
    HANDLE self = GetCurrentThread();
    GROUP_AFFINITY own;
    ZeroMemory(&own, sizeof own);
    bool bound = false;
    for (int rank = 1; rank <= kinds; ++rank) {
        LONG k = 1;
        while (k <= processors && classes.rankOf(k) != rank)
            ++k;
        if (k > processors)
            continue;
        GROUP_AFFINITY affinity;
        ZeroMemory(&affinity, sizeof affinity);
        affinity.Group = places[k - 1].group;
        affinity.Mask = places[k - 1].mask;
        GROUP_AFFINITY previous;
        ZeroMemory(&previous, sizeof previous);
        if (platform.SetThreadGroupAffinity(self, &affinity, &previous) && !bound) {
            own = previous;
            bound = true;
        }
        byRank[rank - 1] = readLeaf16();
    }
    if (bound)
        platform.SetThreadGroupAffinity(self, &own, nullptr);
    delete[] places;
    return kinds;
}

// The nominal clock of processor 0 that Windows records; 0 where the value is missing, not a
// number of four bytes, or 0.
DWORD registryMhz()
{
    const PowerPlatform& platform = powerPlatform();
    HKEY key = nullptr;
    if (platform.RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0", 0,
                               KEY_QUERY_VALUE, &key)
        != ERROR_SUCCESS)
        return 0;
    DWORD type = REG_NONE;
    DWORD mhz = 0;
    DWORD size = sizeof mhz;
    const LONG status = platform.RegQueryValueExA(key, "~MHz", nullptr, &type, reinterpret_cast<BYTE*>(&mhz), &size);
    platform.RegCloseKey(key);
    return status == ERROR_SUCCESS && type == REG_DWORD && size == sizeof mhz && mhz <= HighestRatedMhz ? mhz : 0;
}

} // namespace

const RatedClock& RatedClocks::ofRank(int rank) const
{
    return rank >= 1 && rank <= kinds && rank <= RatedKinds ? byRank[rank - 1] : byRank[0];
}

DWORD BrandStringMhz(const char* brand)
{
    for (const char* at = brand; *at != '\0'; ++at) {
        if (at == brand || at[0] != 'H' || at[1] != 'z')
            continue;
        // Thousandths of a GHz are MHz.
        const DWORD thousandths = thousandthsBefore(brand, at - 1);
        DWORD mhz = 0;
        if (at[-1] == 'M')
            mhz = (thousandths + 500) / 1000;
        else if (at[-1] == 'G')
            mhz = thousandths;
        else if (at[-1] == 'T' && thousandths <= HighestRatedMhz / 1000)
            mhz = thousandths * 1000;
        if (mhz != 0 && mhz <= HighestRatedMhz)
            return mhz;
    }
    return 0;
}

void FormatGroupedMhz(DWORD mhz, char (&text)[MhzTextSize])
{
    char digits[MhzTextSize];
    int at = sizeof digits;
    digits[--at] = '\0';
    int placed = 0;
    do {
        if (placed > 0 && placed % 3 == 0)
            digits[--at] = ',';
        digits[--at] = static_cast<char>('0' + mhz % 10);
        mhz /= 10;
        ++placed;
    } while (mhz != 0);
    memcpy(text, digits + at, sizeof digits - at);
}

RatedClock Leaf16Clock(const CpuidLeaf& leaf0, const CpuidLeaf& leaf16)
{
    RatedClock clock = {0, 0, RatedUnknown};
    // The vendor string lies in ebx, edx, ecx: "Genu", "ineI", "ntel" read as little-endian numbers.
    const bool intel = leaf0.ebx == 0x756E6547 && leaf0.edx == 0x49656E69 && leaf0.ecx == 0x6C65746E;
    if (!intel || leaf0.eax < FrequencyLeaf || leaf0.eax > 0xFFFF)
        return clock;
    clock.baseMhz = leaf16.eax & 0xFFFF;
    clock.maxMhz = leaf16.ebx & 0xFFFF;
    if (clock.baseMhz != 0)
        clock.baseSource = RatedByCpuid;
    return clock;
}

RatedClocks ReadRatedClocks(const ProcessorClasses& classes, const char* brand, bool ntFamily)
{
    RatedClocks rated;
    ZeroMemory(&rated, sizeof rated);
    rated.kinds = readLeaf16ByKind(classes, rated.byRank);
    if (rated.kinds == 0)
        rated.byRank[0] = readLeaf16();
    for (int k = 0; k < RatedKinds; ++k) {
        if (rated.byRank[k].baseMhz != 0)
            return rated;
    }
    // No kind has a base of its own: one for every processor, with the maximum of the fastest
    // kind where leaf 0x16 gave one.
    rated.kinds = 0;
    RatedClock& clock = rated.byRank[0];
    clock.baseMhz = BrandStringMhz(brand);
    clock.baseSource = RatedByBrand;
    if (clock.baseMhz == 0 && ntFamily) {
        clock.baseMhz = registryMhz();
        clock.baseSource = RatedByWindows;
    }
    if (clock.baseMhz == 0)
        clock.baseSource = RatedUnknown;
    return rated;
}
