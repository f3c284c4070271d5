// Command-line front of the program driver, for the run script and the
// benchmark:
//   zyk_drive show <program> <hold file>
//       opens the program, runs a test, prints the result and the dialog's
//       screen rectangle, waits until <hold file> exists, then presses Escape.
//   zyk_drive bench <program> <start-up runs>
//       prints the start-up time and the dialog's responsiveness during a
//       950 ms x 4 test.
#include <windows.h>

#include <algorithm>
#include <stdio.h>
#include <stdlib.h>
#include <string>
#include <vector>

#include "program_driver.h"

namespace {

double elapsedMs(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

double median(std::vector<double> values) {
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

bool endWithEscape(ProgramDriver& program, DWORD& status) {
    program.pressKey(VK_ESCAPE);
    return program.waitForExit(10000, status);
}

// A result row's values under a heading, two blanks between the values of a line.
void printRow(const char* heading, const std::string& text) {
    printf("%s:\n", heading);
    ResultText parts = splitResult(text);
    for (size_t i = 0; i < parts.values.size(); ++i)
        printf("%s%s", parts.values[i].c_str(),
               i < parts.separators.size() ? (parts.separators[i] == "\t" ? "  " : "\n") : "\n");
}

int show(const char* exe, const char* holdFile) {
    ProgramDriver program(exe);
    if (!program.start() || program.waitForDialog(30000) == nullptr) {
        fprintf(stderr, "the program did not open its dialog\n");
        return 1;
    }
    std::string result;
    if (!program.runTest(30000, result)) {
        fprintf(stderr, "no result appeared\n");
        return 1;
    }
    printRow("result", result);
    printRow("core clock", windowText(program.control(1005)));
    RECT r;
    GetWindowRect(program.dialog(), &r);
    printf("dialog: %ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    fflush(stdout);

    std::string hold = windowsPath(holdFile);
    int waited = 0;
    while (GetFileAttributesA(hold.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (waited >= 120000) {
            fprintf(stderr, "gave up after 120 s waiting for the hold file %s\n", holdFile);
            break;
        }
        Sleep(100);
        waited += 100;
    }
    DWORD status = 0;
    if (!endWithEscape(program, status)) {
        fprintf(stderr, "the program did not end\n");
        return 1;
    }
    printf("exit status: %lu\n", status);
    return status == 2 ? 0 : 1;
}

int bench(const char* exe, int runs) {
    std::vector<double> startup;
    for (int run = 0; run < runs; ++run) {
        ProgramDriver program(exe);
        LARGE_INTEGER before, after;
        QueryPerformanceCounter(&before);
        if (!program.start() || program.waitForDialog(30000) == nullptr) {
            fprintf(stderr, "the program did not open its dialog\n");
            return 1;
        }
        QueryPerformanceCounter(&after);
        startup.push_back(elapsedMs(before, after));
        DWORD status = 0;
        endWithEscape(program, status);
    }

    ProgramDriver program(exe);
    if (!program.start() || program.waitForDialog(30000) == nullptr) {
        fprintf(stderr, "the program did not open its dialog\n");
        return 1;
    }
    program.selectEntry(1000, 18);  // 950 ms
    program.selectEntry(1001, 3);   // 4 repetitions
    HWND testButton = program.control(1);
    program.settle();
    program.click(1);
    for (int i = 0; i < 2000 && IsWindowEnabled(testButton); ++i)
        Sleep(1);
    std::vector<double> roundTrips;
    while (!IsWindowEnabled(testButton) && program.running()) {
        LARGE_INTEGER before, after;
        DWORD_PTR answer = 0;
        QueryPerformanceCounter(&before);
        SendMessageTimeoutA(program.dialog(), WM_NULL, 0, 0, SMTO_NORMAL, 10000, &answer);
        QueryPerformanceCounter(&after);
        roundTrips.push_back(elapsedMs(before, after));
        Sleep(5);
    }
    DWORD status = 0;
    endWithEscape(program, status);

    double worst = roundTrips.empty() ? 0.0 : *std::max_element(roundTrips.begin(), roundTrips.end());
    printf("responsiveness window_ms=950 repeats=4 samples=%u median_ms=%.2f worst_ms=%.2f\n",
           unsigned(roundTrips.size()), median(roundTrips), worst);
    printf("startup visible_ms=%.1f\n", median(startup));
    return roundTrips.empty() ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "show")
        return show(argv[2], argv[3]);
    if (argc == 4 && std::string(argv[1]) == "bench")
        return bench(argv[2], atoi(argv[3]));
    fprintf(stderr, "usage: zyk_drive show <program> <hold file> | bench <program> <runs>\n");
    return 2;
}
