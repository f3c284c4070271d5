#include "measure/chain_timing.h"

#include "measure/dependent_chain.h"

const ChainSchedule FineSchedule = {60e-6, 15, 5, 0.040};
const ChainSchedule CoarseSchedule = {60e-6, 2, 3, 0.040};

namespace {

// The pass count starts here and doubles until the long chain's window shows an eighth of its
// target; past the last count, the base is taken not to advance.
const unsigned FirstPasses = 16;
const unsigned MaxPasses = 1u << 20;
const unsigned CalibrationRuns = 3;

// The long chain's window at the minimum difference: the extra links are (long − short) / long
// of its links, and the loop takes a little more of it (on the 80386, the slowest case, the
// extra links are 85% of the window rather than 90%).
const double LongWindowPerDifference =
    1.1 * LongChainLinks / static_cast<double>(LongChainLinks - ShortChainLinks);

// The ticks one run of passes takes.
unsigned long long TimeRun(const ChainClock& clock, void (*run)(unsigned), unsigned passes)
{
    const unsigned long long start = clock.read();
    run(passes);
    return clock.read() - start;
}

// The fastest of a few runs of the long chain: a run the system interrupted looks slower than
// the chain is.
unsigned long long FastestLongRun(const ChainClock& clock, unsigned passes)
{
    unsigned long long fastest = ~0ULL;
    for (unsigned run = 0; run < CalibrationRuns; ++run) {
        const unsigned long long ticks = TimeRun(clock, clock.runLongChain, passes);
        if (ticks < fastest)
            fastest = ticks;
    }
    return fastest;
}

// The pass count at which the long chain's window lasts about targetTicks; 0 where the base
// does not show that much time even at MaxPasses. The ticks a pass takes come from the last two
// counts, so that a run's fixed cost (the base's reads, the call) does not count as passes.
unsigned CalibratePasses(const ChainClock& clock, double targetTicks)
{
    unsigned passes = FirstPasses;
    unsigned long long previous = FastestLongRun(clock, passes);
    unsigned long long ticks = 0;
    for (;;) {
        if (passes >= MaxPasses)
            return 0;
        passes *= 2;
        ticks = FastestLongRun(clock, passes);
        if (ticks >= targetTicks / 8)
            break;
        previous = ticks;
    }
    const double perPass =
        ticks > previous ? static_cast<double>(ticks - previous) / (passes / 2) : static_cast<double>(ticks) / passes;
    const double fixed = static_cast<double>(ticks) - perPass * passes;
    const double scaled = (targetTicks - (fixed > 0.0 ? fixed : 0.0)) / perPass + 0.5;
    if (scaled >= MaxPasses)
        return MaxPasses;
    return scaled < 1.0 ? 1 : static_cast<unsigned>(scaled);
}

// One round at a pass count: the clock from the shortest of windows windows of each chain,
// taken in turn.
double MeasureRound(const ChainClock& clock, unsigned windows, unsigned passes, double cyclesPerLink)
{
    unsigned long long bestShort = ~0ULL;
    unsigned long long bestLong = ~0ULL;
    for (unsigned window = 0; window < windows; ++window) {
        const unsigned long long shortTicks = TimeRun(clock, clock.runShortChain, passes);
        if (shortTicks < bestShort)
            bestShort = shortTicks;
        const unsigned long long longTicks = TimeRun(clock, clock.runLongChain, passes);
        if (longTicks < bestLong)
            bestLong = longTicks;
    }
    return ChainClockMhz(bestShort, bestLong, passes, cyclesPerLink, clock.ticksPerSecond);
}

double Median(double* values, unsigned count)
{
    for (unsigned i = 1; i < count; ++i) {
        const double value = values[i];
        unsigned j = i;
        for (; j > 0 && values[j - 1] > value; --j)
            values[j] = values[j - 1];
        values[j] = value;
    }
    if (count % 2 == 1)
        return values[count / 2];
    return (values[count / 2 - 1] + values[count / 2]) / 2.0;
}

} // namespace

double ChainClockMhz(unsigned long long shortTicks, unsigned long long longTicks, unsigned passes,
                     double cyclesPerLink, double ticksPerSecond)
{
    if (longTicks <= shortTicks)
        return 0.0;
    const double links = static_cast<double>(LongChainLinks - ShortChainLinks) * passes;
    const double seconds = static_cast<double>(longTicks - shortTicks) / ticksPerSecond;
    return links * cyclesPerLink / seconds * 1e-6;
}

double MeasureChainClock(const ChainClock& clock, const ChainSchedule& schedule, double cyclesPerLink)
{
    if (!(clock.ticksPerSecond > 0.0) || schedule.windows == 0 || schedule.rounds == 0)
        return 0.0;
    const unsigned long long begin = clock.read();
    double targetTicks = schedule.windowSeconds * clock.ticksPerSecond;
    if (targetTicks < MinimumDifferenceTicks * LongWindowPerDifference)
        targetTicks = MinimumDifferenceTicks * LongWindowPerDifference;
    const unsigned passes = CalibratePasses(clock, targetTicks);
    if (passes == 0)
        return 0.0;

    // Each round after the first starts only if, taking as long as the first, it ends within
    // the budget.
    const unsigned rounds = schedule.rounds < MaxChainRounds ? schedule.rounds : MaxChainRounds;
    const double budgetTicks = schedule.budgetSeconds * clock.ticksPerSecond;
    double mhz[MaxChainRounds];
    unsigned taken = 0;
    double roundTicks = 0.0;
    while (taken < rounds) {
        const unsigned long long roundStart = clock.read();
        if (taken > 0 && static_cast<double>(roundStart - begin) + roundTicks > budgetTicks)
            break;
        mhz[taken++] = MeasureRound(clock, schedule.windows, passes, cyclesPerLink);
        if (taken == 1)
            roundTicks = static_cast<double>(clock.read() - roundStart);
    }
    const double median = Median(mhz, taken);
    return median > 0.0 ? median : 0.0;
}
