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
// Given "all", every other processor is kept busy while each is measured, as in a test that
// measures all at once, and the lines begin core_clock_native_all instead.
//
// Usage: core_clock_native [seconds [all]]   (5 when not given)
#include <sched.h>
#include <time.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
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

std::atomic<int> measuredCpu{-1};
std::atomic<bool> stopping{false};

// Keeps one processor busy, except while it is the one being measured.
void KeepBusy(int cpu)
{
    BindTo(cpu);
    while (!stopping.load(std::memory_order_relaxed)) {
        if (measuredCpu.load(std::memory_order_relaxed) == cpu) {
            timespec pause = {0, 1000000};
            nanosleep(&pause, nullptr);
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    const double seconds = argc > 1 ? std::atof(argv[1]) : 5.0;
    const bool allBusy = argc > 2 && std::strcmp(argv[2], "all") == 0;
    if (!(seconds > 0.0)) {
        std::fprintf(stderr, "usage: core_clock_native [seconds [all]]\n");
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
    bool failed = false;
    std::vector<std::thread> busy;
    for (size_t k = 0; allBusy && k < cpus.size(); ++k)
        busy.emplace_back(KeepBusy, cpus[k]);
    const ChainClock clock = {ReadNanoseconds, 1e9, RunShortChain, RunLongChain};
    std::vector<std::vector<double>> mhz(cpus.size());
    const unsigned long long end = ReadNanoseconds() + static_cast<unsigned long long>(seconds * 1e9);
    for (size_t turn = 0; ReadNanoseconds() < end; ++turn) {
        const size_t k = turn % cpus.size();
        measuredCpu.store(cpus[k]);
        if (!BindTo(cpus[k])) {
            std::fprintf(stderr, "core_clock_native: cannot bind to processor %d\n", cpus[k] + 1);
            failed = true;
            break;
        }
        SpinFor(50000000);
        mhz[k].push_back(MeasureChainClock(clock, FineSchedule, ThisProcessorsCyclesPerLink()));
    }
    stopping.store(true);
    for (std::thread& thread : busy)
        thread.join();
    if (failed)
        return 1;
    for (size_t k = 0; k < cpus.size(); ++k) {
        std::vector<double>& values = mhz[k];
        if (values.empty())
            continue;
        std::sort(values.begin(), values.end());
        const size_t n = values.size();
        const double median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
        std::printf("%s processor=%d tests=%u median_mhz=%.2f spread_mhz=%.2f\n",
                    allBusy ? "core_clock_native_all" : "core_clock_native", cpus[k] + 1,
                    static_cast<unsigned>(n), median, values.back() - values.front());
    }
    std::fflush(stdout);
    return 0;
}
