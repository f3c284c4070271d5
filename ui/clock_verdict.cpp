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

} // namespace

ClockVerdict JudgeCoreClocks(const ResultTable& table, const ProcessorClasses& classes, const RatedClocks& rated,
                             bool oneByOne)
{
    ClockVerdict verdict = {false, 0.0, 0, false};
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
        const DWORD base = rated.ofRank(classes.rankOf(p)).baseMhz;
        if (base != 0 && value < HeldBackShare * base)
            verdict.belowBase = true;
    }
    if (measured == 0)
        return verdict;

    double clock;
    const RatedClock* against;
    if (oneByOne) {
        clock = table.coreClock(fastest);
        against = &rated.ofRank(classes.rankOf(fastest));
        verdict.ofMhz = against->maxMhz != 0 ? against->maxMhz : against->baseMhz;
    } else {
        // With an even count, the mean of the two middle clocks, against the kind of the lower.
        const LONG lower = nthSmallest(table, count, (measured - 1) / 2);
        const LONG upper = nthSmallest(table, count, measured / 2);
        clock = (table.coreClock(lower) + table.coreClock(upper)) / 2.0;
        against = &rated.ofRank(classes.rankOf(lower));
        verdict.ofMhz = against->baseMhz;
    }
    if (verdict.ofMhz == 0) {
        verdict.belowBase = false;
        return verdict;
    }
    verdict.known = true;
    verdict.percent = 100.0 * clock / verdict.ofMhz;
    return verdict;
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
