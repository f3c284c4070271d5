// The clock the cores run at, measured natively on Linux with the program's own chains and
// scheme (measure/dependent_chain.h, measure/chain_timing.h), for comparison with the figures
// the program measures under Wine. Bound to each processor in turn, it busies the core for
// 50 ms, as a worker's test does before it measures the core clock, then measures, timed by
// CLOCK_MONOTONIC_RAW; and so a number of times per processor. One line per processor,
// numbered from 1 as the program numbers them:
//
//   core_clock_native processor=<k> tests=<n> median_mhz=<m> spread_mhz=<max-min>
//
// Usage: core_clock_native [tests]   (10 when not given)
#include <sched.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "measure/chain_timing.h"
#include "measure/cycles_per_link.h"
#include "measure/dependent_chain.h"

namespace {

unsigned long long ReadNanoseconds()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC_RAW, &now);
    return static_cast<unsigned long long>(now.tv_sec) * 1000000000ULL + static_cast<unsigned long long>(now.tv_nsec);
}

void SpinFor(unsigned long long nanoseconds)
{
    const unsigned long long start = ReadNanoseconds();
    while (ReadNanoseconds() - start < nanoseconds) {
    }
}

double ThisProcessorsCyclesPerLink()
{
    ProcessorSignature signature;
    return ReadProcessorSignature(&signature) ? CyclesPerLink(&signature, 0) : CyclesPerLink(nullptr, 0);
}

bool BindTo(int cpu)
{
    cpu_set_t set;
    CPU_ZERO(&set);
    CPU_SET(cpu, &set);
    return sched_setaffinity(0, sizeof set, &set) == 0;
}

} // namespace

int main(int argc, char** argv)
{
    const int tests = argc > 1 ? std::atoi(argv[1]) : 10;
    if (tests <= 0) {
        std::fprintf(stderr, "usage: core_clock_native [tests]\n");
        return 2;
    }
    cpu_set_t allowed;
    if (sched_getaffinity(0, sizeof allowed, &allowed) != 0) {
        std::perror("core_clock_native: sched_getaffinity");
        return 1;
    }
    const ChainClock clock = {ReadNanoseconds, 1e9, RunShortChain, RunLongChain};
    for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu) {
        if (!CPU_ISSET(cpu, &allowed))
            continue;
        if (!BindTo(cpu)) {
            std::fprintf(stderr, "core_clock_native: cannot bind to processor %d\n", cpu + 1);
            continue;
        }
        const double cyclesPerLink = ThisProcessorsCyclesPerLink();
        std::vector<double> mhz;
        for (int test = 0; test < tests; ++test) {
            SpinFor(50000000);
            mhz.push_back(MeasureChainClock(clock, FineSchedule, cyclesPerLink));
        }
        std::sort(mhz.begin(), mhz.end());
        const size_t n = mhz.size();
        const double median = n % 2 ? mhz[n / 2] : (mhz[n / 2 - 1] + mhz[n / 2]) / 2.0;
        std::printf("core_clock_native processor=%d tests=%d median_mhz=%.2f spread_mhz=%.2f\n", cpu + 1, tests,
                    median, mhz.back() - mhz.front());
        std::fflush(stdout);
    }
    return 0;
}
