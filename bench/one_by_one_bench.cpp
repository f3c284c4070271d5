// Each processor's core clock measured by the program's workers all at once and one by one,
// the two kinds of test alternating, as the main dialog runs them (a 50 ms window, one
// repetition). Per processor and kind, the median and the spread over the tests, and the time
// one test took:
//
//   core_clock_order order=<all_at_once|one_by_one> processor=<k> tests=<n> median_mhz=<m> spread_mhz=<max-min>
//   test_time order=<all_at_once|one_by_one> tests=<n> median_ms=<m>
//
// Usage: one_by_one_bench [tests]   (3 of each kind when not given)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "measure/cycle_counter.h"
#include "measure/result_table.h"
#include "worker_test.h"

namespace {

const LONG WindowMs = 50;
const LONG Repetitions = 1;

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

struct Kind {
    const char* name;
    WorkerOrder order;
    std::vector<std::vector<double>> coreMhz;
    std::vector<double> ms;
};

} // namespace

int main(int argc, char** argv)
{
    const int tests = argc > 1 ? std::atoi(argv[1]) : 3;
    if (tests <= 0) {
        std::fprintf(stderr, "usage: one_by_one_bench [tests]\n");
        return 2;
    }
    CycleCounter detections; // as the dialog's test does before it measures
    HWND window = CreateStandInDialog();
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    Kind kinds[] = {{"all_at_once", WorkerOrder::AllAtOnce, {}, {}}, {"one_by_one", WorkerOrder::OneByOne, {}, {}}};
    for (int test = 0; test < tests; ++test) {
        for (Kind& kind : kinds) {
            LARGE_INTEGER start;
            LARGE_INTEGER end;
            QueryPerformanceCounter(&start);
            const LONG processors = RunWorkerTest(window, WindowMs, Repetitions, kind.order);
            QueryPerformanceCounter(&end);
            kind.ms.push_back(static_cast<double>(end.QuadPart - start.QuadPart) * 1000.0 /
                              static_cast<double>(frequency.QuadPart));
            kind.coreMhz.resize(std::max<size_t>(kind.coreMhz.size(), processors));
            for (LONG k = 1; k <= processors; ++k)
                kind.coreMhz[k - 1].push_back(resultTable.coreClock(k));
        }
    }
    for (const Kind& kind : kinds) {
        for (size_t k = 0; k < kind.coreMhz.size(); ++k) {
            const std::vector<double>& mhz = kind.coreMhz[k];
            std::printf("core_clock_order order=%s processor=%u tests=%u median_mhz=%.2f spread_mhz=%.2f\n", kind.name,
                        static_cast<unsigned>(k + 1), static_cast<unsigned>(mhz.size()), Median(mhz),
                        *std::max_element(mhz.begin(), mhz.end()) - *std::min_element(mhz.begin(), mhz.end()));
        }
        std::printf("test_time order=%s tests=%d median_ms=%.0f\n", kind.name, tests, Median(kind.ms));
    }
    std::fflush(stdout);
    DestroyWindow(window);
    return 0;
}
