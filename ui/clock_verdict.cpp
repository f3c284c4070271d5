#include "ui/clock_verdict.h"

#include "app/format_text.h"

namespace {

// Under this share of its rated base a core is held back.
const double HeldBackShare = 0.95;

// The processor whose core clock is the k-th smallest (from 0) of those measured; 0 where
// there are not that many. Counted rather than sorted: no copy of the table is needed, and a
// few thousand processors take a few million comparisons.
LONG nthSmallest(const ResultTable& table, LONG count, LONG k)
{
    for (LONG p = 1; p <= count; ++p) {
        const double value = table.coreClock(p);
        if (value <= 0.0)
            continue;
        LONG below = 0;
        LONG equal = 0;
        for (LONG q = 1; q <= count; ++q) {
            const double other = table.coreClock(q);
            if (other <= 0.0)
                continue;
            below += other < value ? 1 : 0;
            equal += other == value ? 1 : 0;
        }
        if (below <= k && k < below + equal)
            return p;
    }
    return 0;
}

// The verdict on clock against ofMhz, where ofMhz is known.
ClockVerdict judged(double clock, DWORD ofMhz, bool belowBase)
{
    ClockVerdict verdict = {false, 0.0, ofMhz, false};
    if (ofMhz == 0)
        return verdict;
    verdict.known = true;
    verdict.percent = 100.0 * clock / ofMhz;
    verdict.belowBase = belowBase;
    return verdict;
}

bool heldBack(double clock, DWORD baseMhz)
{
    return baseMhz != 0 && clock < HeldBackShare * baseMhz;
}

} // namespace

ClockVerdict JudgeCoreClocks(const ResultTable& table, const ProcessorClasses& classes, const RatedClocks& rated,
                             bool oneByOne)
{
    bool belowBase = false;
    const LONG count = table.count();
    LONG measured = 0;
    LONG fastest = 0;
    for (LONG p = 1; p <= count; ++p) {
        const double value = table.coreClock(p);
        if (value <= 0.0)
            continue;
        ++measured;
        if (fastest == 0 || value > table.coreClock(fastest))
            fastest = p;
        if (heldBack(value, rated.ofRank(classes.rankOf(p)).baseMhz))
            belowBase = true;
    }
    if (measured == 0)
        return judged(0.0, 0, false);
    if (oneByOne) {
        const RatedClock& against = rated.ofRank(classes.rankOf(fastest));
        return judged(table.coreClock(fastest), against.maxMhz != 0 ? against.maxMhz : against.baseMhz, belowBase);
    }
    // With an even count, the mean of the two middle clocks, against the kind of the lower.
    const LONG lower = nthSmallest(table, count, (measured - 1) / 2);
    const LONG upper = nthSmallest(table, count, measured / 2);
    return judged((table.coreClock(lower) + table.coreClock(upper)) / 2.0,
                  rated.ofRank(classes.rankOf(lower)).baseMhz, belowBase);
}

ClockVerdict JudgeCoreClock(double mhz, const RatedClock& rated)
{
    return judged(mhz, mhz > 0.0 ? rated.baseMhz : 0, heldBack(mhz, rated.baseMhz));
}

void FormatVerdict(const ClockVerdict& verdict, char* text, size_t room)
{
    if (!verdict.known) {
        FormatText(text, room, "");
        return;
    }
    char mhz[MhzTextSize];
    FormatGroupedMhz(verdict.ofMhz, mhz);
    FormatText(text, room, "erreicht / reaches %.1f %% of %s MHz%s", verdict.percent, mhz,
               verdict.belowBase ? ", unter Basistakt / below base" : "");
}
