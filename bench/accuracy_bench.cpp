// Measures the processor clock with both methods, several runs per measuring window, and
// prints for each method, window and processor how far the median run lies from a reference
// frequency, how far the runs spread and how far the worst single run lies from it, in parts
// per million:
//
//   accuracy method=<workers|estimator> window_ms=<w> processor=<k> runs=<n> median_ppm=<signed> spread_ppm=<max-min> worst_ppm=<signed>
//
// Usage: accuracy_bench <reference MHz> <runs> <window ms>...
// The workers run as a test of the main dialog does: one bound worker per processor, one
// repetition, results read once the display timer has fired. The estimator runs as on the
// other platform: on this thread, unbound, with a threshold of 1 Hz and a cap of one
// refinement; its processor is reported as 0, meaning whichever processor the thread ran on.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "measure/cycle_counter.h"
#include "measure/frequency_estimator.h"
#include "measure/result_table.h"
#include "worker_test.h"

namespace {

const LONG Repetitions = 1;
// One test by the workers; their time-stamp figures.
std::vector<double> RunWorkers(HWND window, LONG windowMs)
{
    const LONG processors = RunWorkerTest(window, windowMs, Repetitions);
    std::vector<double> mhz;
    for (LONG k = 1; k <= processors; ++k)
        mhz.push_back(resultTable.value(k));
    return mhz;
}

double RunEstimator(LONG windowMs)
{
    double mean = 0.0;
    double deviation = 1.0;
    EstimateFrequency(mean, deviation, static_cast<unsigned>(windowMs), static_cast<unsigned>(Repetitions));
    return mean * 0.000001;
}

double PartsPerMillion(double mhz, double referenceMhz)
{
    return (mhz - referenceMhz) / referenceMhz * 1000000.0;
}

void Report(const char* method, LONG windowMs, int processor, std::vector<double> ppm)
{
    std::sort(ppm.begin(), ppm.end());
    size_t n = ppm.size();
    if (n == 0)
        return;
    double median = n % 2 ? ppm[n / 2] : (ppm[n / 2 - 1] + ppm[n / 2]) / 2.0;
    double worst = -ppm.front() > ppm.back() ? ppm.front() : ppm.back();
    std::printf("accuracy method=%s window_ms=%ld processor=%d runs=%u median_ppm=%+.2f spread_ppm=%.2f worst_ppm=%+.2f\n",
                method, static_cast<long>(windowMs), processor, static_cast<unsigned>(n), median,
                ppm.back() - ppm.front(), worst);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: accuracy_bench <reference MHz> <runs> <window ms>...\n");
        return 2;
    }
    double referenceMhz = std::atof(argv[1]);
    int runs = std::atoi(argv[2]);
    if (referenceMhz <= 0.0 || runs <= 0) {
        std::fprintf(stderr, "accuracy_bench: the reference and the number of runs must be positive\n");
        return 2;
    }
    CycleCounter detections; // as the dialog's test does before it measures
    HWND window = CreateStandInDialog();

    for (int a = 3; a < argc; ++a) {
        LONG windowMs = std::atol(argv[a]);
        if (windowMs <= 0)
            continue;
        std::vector<std::vector<double>> workerPpm;
        for (int run = 0; run < runs; ++run) {
            std::vector<double> mhz = RunWorkers(window, windowMs);
            workerPpm.resize(std::max(workerPpm.size(), mhz.size()));
            for (size_t k = 0; k < mhz.size(); ++k)
                workerPpm[k].push_back(PartsPerMillion(mhz[k], referenceMhz));
        }
        for (size_t k = 0; k < workerPpm.size(); ++k)
            Report("workers", windowMs, static_cast<int>(k + 1), workerPpm[k]);

        std::vector<double> estimatorPpm;
        for (int run = 0; run < runs; ++run)
            estimatorPpm.push_back(PartsPerMillion(RunEstimator(windowMs), referenceMhz));
        Report("estimator", windowMs, 0, estimatorPpm);
    }
    DestroyWindow(window);
    return 0;
}
