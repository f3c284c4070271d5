#pragma once

// How the clock the cores run at is measured from the dependent chains (dependent_chain.h),
// over whatever time base the caller has: the program times them with the time-stamp counter
// or the performance counter, a native benchmark program with the system's own clock.
//
// Both chains run at one pass count, chosen so that the long chain's window lasts about a
// given time. Each round times a number of windows of each chain, in turn, and keeps the
// shortest of each: a window the system interrupted only looks longer, and the shortest is the
// one nothing interrupted. The difference of the two shortest windows is the time of the
// extra links alone, the loop and every fixed cost cancelled. A round can still be spoiled in
// every window when the machine is busy (too high a clock if the short chain's windows were
// all stretched, too low if the long chain's were), so the result is the median of several
// rounds. No platform call: plain code over the time base handed in.

// A time base and the two chains to time with it.
struct ChainClock {
    unsigned long long (*read)(); // the base's count, which may wrap
    double ticksPerSecond;
    void (*runShortChain)(unsigned passes);
    void (*runLongChain)(unsigned passes);
};

// How long the windows are and how many are taken.
struct ChainSchedule {
    double windowSeconds;  // the long chain's window, or more where the base's ticks need it
    unsigned windows;      // windows of each chain per round
    unsigned rounds;       // at most MaxChainRounds
    double budgetSeconds;  // no round starts that would end past this much time
};

const unsigned MaxChainRounds = 9;

// A window read from the base may be off by up to one tick (each of its two readings falls
// anywhere within a tick), so the difference of two windows by up to two. The long chain's
// windows are made long enough for that difference to span at least this many ticks, which
// keeps the base's resolution within 0.05% of the result.
const double MinimumDifferenceTicks = 4000.0;

// For a base of fine ticks such as the time-stamp counter: windows of 60 µs (long enough for
// the clock to show, short enough that most of them run without an interruption, where 6 ms
// windows scattered widely), the best of 15, the median of 5 rounds; about 6 ms in all.
extern const ChainSchedule FineSchedule;
// For a base of coarse ticks such as the performance counter of Windows 95, 1.19 MHz: windows
// as long as its resolution needs (about 4.1 ms there), the best of 2, the median of 3 rounds;
// about 32 ms in all, and never a round that would end past 40 ms.
extern const ChainSchedule CoarseSchedule;

// The clock in MHz of the processor the calling thread runs on, whose chains take
// cyclesPerLink cycles a link, timed with clock as schedule says; 0.0 where the base does not
// advance, or shows the long chain no slower than the short one in most rounds.
double MeasureChainClock(const ChainClock& clock, const ChainSchedule& schedule, double cyclesPerLink);

// The clock in MHz at which the links the long chain has beyond the short one, passes times
// over and cyclesPerLink cycles each, take longTicks − shortTicks ticks of a base of
// ticksPerSecond: the arithmetic of one round, from its shortest windows. 0.0 when the long
// chain's window is not the longer.
double ChainClockMhz(unsigned long long shortTicks, unsigned long long longTicks, unsigned passes,
                     double cyclesPerLink, double ticksPerSecond);
