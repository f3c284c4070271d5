// The history's sampler as the history window runs it, for a given number of seconds: its
// own share of the machine's capacity (the process's CPU time over the seconds times the
// processors; this program does nothing else meanwhile), and per processor the median and the
// spread of the values it measured:
//
//   history_load seconds=<s> processors=<n> rounds=<r> cpu_share=<fraction>
//   history processor=<k> samples=<n> median_mhz=<m> spread_mhz=<max-min>
//
// Usage: history_bench [seconds]   (30 when not given)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "measure/history/history_record.h"
#include "measure/history/history_sampler.h"

namespace {

ULONGLONG ProcessCpu100ns()
{
    FILETIME created, ended, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
    return (static_cast<ULONGLONG>(kernel.dwHighDateTime) << 32 | kernel.dwLowDateTime)
           + (static_cast<ULONGLONG>(user.dwHighDateTime) << 32 | user.dwLowDateTime);
}

} // namespace

int main(int argc, char** argv)
{
    const DWORD seconds = argc > 1 ? static_cast<DWORD>(atoi(argv[1])) : 30;
    HistoryRecord record;
    HistorySampler sampler;
    const ULONGLONG cpuBefore = ProcessCpu100ns();
    const DWORD start = GetTickCount();
    if (!sampler.start(record, true)) {
        fprintf(stderr, "the sampler did not start\n");
        return 1;
    }
    Sleep(seconds * 1000);
    const LONG processors = sampler.processors();
    std::vector<std::vector<double>> values(processors);
    record.lock();
    const LONG rows = record.rows();
    for (LONG row = 0; row < rows; ++row) {
        for (LONG k = 0; k < processors; ++k) {
            if (record.rowValues(row)[k] > 0.0f)
                values[k].push_back(record.rowValues(row)[k]);
        }
    }
    record.unlock();
    sampler.stop();
    const double elapsedMs = GetTickCount() - start;
    const double share = (ProcessCpu100ns() - cpuBefore) / 1e4 / (elapsedMs * processors);
    printf("history_load seconds=%lu processors=%ld rounds=%ld cpu_share=%.5f\n", static_cast<unsigned long>(seconds),
           static_cast<long>(processors), static_cast<long>(rows), share);
    for (LONG k = 0; k < processors; ++k) {
        std::vector<double>& v = values[k];
        std::sort(v.begin(), v.end());
        const size_t n = v.size();
        const double median = n == 0 ? 0.0 : n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0;
        printf("history processor=%ld samples=%u median_mhz=%.2f spread_mhz=%.2f\n", static_cast<long>(k + 1),
               static_cast<unsigned>(n), median, n == 0 ? 0.0 : v[n - 1] - v[0]);
    }
    return 0;
}
