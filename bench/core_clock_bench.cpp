// The core clock as the program measures it: a number of tests of the workers, run as the main
// dialog runs them (one bound worker per processor, a 50 ms window, one repetition, results read
// once the display timer has fired), and per processor the median and the spread of the core
// clocks the workers stored, and of the time-stamp figures they scaled them by. Given the
// time-stamp counter's rate as the system knows it, the same again on this thread, bound to each
// processor in turn, busy for 50 ms before each measurement as a worker is, and scaled by that
// rate: this tells the chains' own error from the time-stamp figure's. Then how long one
// measurement of the core clock takes on this thread, on either time base:
//
//   core_clock processor=<k> tests=<n> median_mhz=<m> spread_mhz=<max-min> time_stamp_mhz=<median>
//   core_clock_thread processor=<k> tests=<n> median_mhz=<m> spread_mhz=<max-min> time_stamp_mhz=<given>
//   core_clock_call base=<time_stamp|performance_counter> calls=<n> median_ms=<m> max_ms=<max>
//
// Usage: core_clock_bench [tests [time-stamp MHz]]   (10 tests when not given)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "measure/core_clock.h"
#include "measure/cycle_counter.h"
#include "measure/result_table.h"
#include "measure/spin_wait.h"
#include "worker_test.h"

namespace {

const LONG WindowMs = 50;
const LONG Repetitions = 1;
const int Calls = 10;
double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

double Spread(const std::vector<double>& values)
{
    return *std::max_element(values.begin(), values.end()) - *std::min_element(values.begin(), values.end());
}

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to, const LARGE_INTEGER& frequency)
{
    return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

DWORD_PTR ProcessMask()
{
    DWORD_PTR processMask = 0;
    DWORD_PTR systemMask = 0;
    GetProcessAffinityMask(GetCurrentProcess(), &processMask, &systemMask);
    return processMask;
}

// The core clock measured on this thread, bound to each processor the process may use.
void ReportThreadClocks(int tests, double timeStampMhz)
{
    const DWORD_PTR processMask = ProcessMask();
    for (unsigned bit = 0; bit < sizeof(DWORD_PTR) * 8; ++bit) {
        const DWORD_PTR mask = static_cast<DWORD_PTR>(1) << bit;
        if ((processMask & mask) == 0 || SetThreadAffinityMask(GetCurrentThread(), mask) == 0)
            continue;
        std::vector<double> mhz;
        for (int test = 0; test < tests; ++test) {
            SpinWait(static_cast<int>(WindowMs));
            mhz.push_back(MeasureCoreClock(timeStampMhz));
        }
        std::printf("core_clock_thread processor=%u tests=%d median_mhz=%.2f spread_mhz=%.2f time_stamp_mhz=%.3f\n",
                    bit + 1, tests, Median(mhz), Spread(mhz), timeStampMhz);
        std::fflush(stdout);
    }
    SetThreadAffinityMask(GetCurrentThread(), processMask);
}

// How long MeasureCoreClock takes on this thread, bound to the first processor it may use.
void ReportCallTime(const char* base, double timeStampMhz)
{
    const DWORD_PTR processMask = ProcessMask();
    const DWORD_PTR previous = SetThreadAffinityMask(GetCurrentThread(), processMask & (~processMask + 1));
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> ms;
    for (int call = 0; call < Calls; ++call) {
        LARGE_INTEGER start;
        LARGE_INTEGER end;
        QueryPerformanceCounter(&start);
        MeasureCoreClock(timeStampMhz);
        QueryPerformanceCounter(&end);
        ms.push_back(Milliseconds(start, end, frequency));
    }
    if (previous != 0)
        SetThreadAffinityMask(GetCurrentThread(), previous);
    std::printf("core_clock_call base=%s calls=%d median_ms=%.2f max_ms=%.2f\n", base, Calls, Median(ms),
                *std::max_element(ms.begin(), ms.end()));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    const int tests = argc > 1 ? std::atoi(argv[1]) : 10;
    const double givenTimeStampMhz = argc > 2 ? std::atof(argv[2]) : 0.0;
    if (tests <= 0) {
        std::fprintf(stderr, "usage: core_clock_bench [tests [time-stamp MHz]]\n");
        return 2;
    }
    CycleCounter detections; // as the dialog's test does before it measures
    HWND window = CreateStandInDialog();

    std::vector<std::vector<double>> coreMhz;
    std::vector<std::vector<double>> timeStampMhz;
    for (int test = 0; test < tests; ++test) {
        const LONG processors = RunWorkerTest(window, WindowMs, Repetitions);
        coreMhz.resize(std::max<size_t>(coreMhz.size(), processors));
        timeStampMhz.resize(coreMhz.size());
        for (LONG k = 1; k <= processors; ++k) {
            coreMhz[k - 1].push_back(resultTable.coreClock(k));
            timeStampMhz[k - 1].push_back(resultTable.value(k));
        }
    }
    for (size_t k = 0; k < coreMhz.size(); ++k) {
        std::printf("core_clock processor=%u tests=%u median_mhz=%.2f spread_mhz=%.2f time_stamp_mhz=%.3f\n",
                    static_cast<unsigned>(k + 1), static_cast<unsigned>(coreMhz[k].size()), Median(coreMhz[k]),
                    Spread(coreMhz[k]), Median(timeStampMhz[k]));
        std::fflush(stdout);
    }
    if (givenTimeStampMhz > 0.0)
        ReportThreadClocks(tests, givenTimeStampMhz);
    if (!timeStampMhz.empty()) {
        ReportCallTime("time_stamp", Median(timeStampMhz[0]));
        ReportCallTime("performance_counter", 0.0);
    }
    DestroyWindow(window);
    return 0;
}
