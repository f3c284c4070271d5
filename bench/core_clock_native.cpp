// The clock the cores run at, measured natively on Linux with the program's own chains and
// scheme (measure/dependent_chain.h, measure/chain_timing.h), for comparison with the figures
// the program measures under Wine. For the given number of seconds it takes each processor in
// turn: bound to it, it busies the core for 50 ms, as a worker's test does before it measures
// the core clock, then measures, timed by CLOCK_MONOTONIC_RAW. Run beside the program for as
// long as the program measures, it sees the cores at the clocks the program sees, however the
// host of a virtual machine changes them from one moment to the next. One line per processor,
// numbered from 1 as the program numbers them:
//
//   core_clock_native processor=<k> tests=<n> median_mhz=<m> spread_mhz=<max-min>
//
// Usage: core_clock_native [seconds]   (5 when not given)
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
    const double seconds = argc > 1 ? std::atof(argv[1]) : 5.0;
    if (!(seconds > 0.0)) {
        std::fprintf(stderr, "usage: core_clock_native [seconds]\n");
        return 2;
    }
    cpu_set_t allowed;
    if (sched_getaffinity(0, sizeof allowed, &allowed) != 0) {
        std::perror("core_clock_native: sched_getaffinity");
        return 1;
    }
    std::vector<int> cpus;
    for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu) {
        if (CPU_ISSET(cpu, &allowed))
            cpus.push_back(cpu);
    }
    const ChainClock clock = {ReadNanoseconds, 1e9, RunShortChain, RunLongChain};
    std::vector<std::vector<double>> mhz(cpus.size());
    const unsigned long long end = ReadNanoseconds() + static_cast<unsigned long long>(seconds * 1e9);
    for (size_t turn = 0; ReadNanoseconds() < end; ++turn) {
        const size_t k = turn % cpus.size();
        if (!BindTo(cpus[k])) {
            std::fprintf(stderr, "core_clock_native: cannot bind to processor %d\n", cpus[k] + 1);
            return 1;
        }
        SpinFor(50000000);
        mhz[k].push_back(MeasureChainClock(clock, FineSchedule, ThisProcessorsCyclesPerLink()));
    }
    for (size_t k = 0; k < cpus.size(); ++k) {
        std::vector<double>& values = mhz[k];
        if (values.empty())
            continue;
        std::sort(values.begin(), values.end());
        const size_t n = values.size();
        const double median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
        std::printf("core_clock_native processor=%d tests=%u median_mhz=%.2f spread_mhz=%.2f\n", cpus[k] + 1,
                    static_cast<unsigned>(n), median, values.back() - values.front());
    }
    std::fflush(stdout);
    return 0;
}
