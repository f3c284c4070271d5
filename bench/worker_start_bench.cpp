// The cost of one test's start on a machine of many processors: the time from the call that
// starts the workers until the dialog thread has it back, with the platform reporting
// processor groups of 64 (the bindings are taken as given: this machine has few processors).
// The workers are real threads; each run waits for all of them before the next. Prints
//   worker_start processors=<n> workers=<w> runs=<r> median_ms=<m> max_ms=<x>
// where workers is how many one start ran: the x86 program names 32 processors of a group.
// Arguments: the number of processors (default 256, a multiple of 64 or not) and of runs
// (default 9).

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "measure/measure_platform.h"
#include "measure/processor_workers.h"
#include "measure/test_parameters.h"
#include "support/fake_processors.h"

namespace {

DWORD processors = 256;

// Duplicates of the handles of the threads one start made, to wait for them between runs: its
// starter, and the workers the starter creates on its own thread, hence the lock.
CRITICAL_SECTION startedLock;
HANDLE starter;
std::vector<HANDLE> started;

HANDLE WINAPI KeptCreateThread(LPSECURITY_ATTRIBUTES security, SIZE_T stack, LPTHREAD_START_ROUTINE routine,
                               LPVOID parameter, DWORD flags, LPDWORD id)
{
    HANDLE thread = CreateThread(security, stack, routine, parameter, flags, id);
    HANDLE kept = nullptr;
    if (thread != nullptr
        && DuplicateHandle(GetCurrentProcess(), thread, GetCurrentProcess(), &kept, SYNCHRONIZE, FALSE, 0)) {
        EnterCriticalSection(&startedLock);
        if (routine == ProcessorWorkerMain)
            started.push_back(kept);
        else
            starter = kept;
        LeaveCriticalSection(&startedLock);
    }
    return thread;
}

// Waits for the threads of one start and returns how many workers it ran.
size_t WaitForWorkers()
{
    // The starter is known once the start has returned; when it has ended, every worker's
    // handle is in the list.
    if (starter != nullptr) {
        WaitForSingleObject(starter, INFINITE);
        CloseHandle(starter);
        starter = nullptr;
    }
    for (size_t from = 0; from < started.size(); from += MAXIMUM_WAIT_OBJECTS) {
        const size_t count = std::min<size_t>(started.size() - from, MAXIMUM_WAIT_OBJECTS);
        WaitForMultipleObjects(static_cast<DWORD>(count), started.data() + from, TRUE, INFINITE);
    }
    for (HANDLE thread : started)
        CloseHandle(thread);
    const size_t workers = started.size();
    started.clear();
    return workers;
}

double Milliseconds(LONGLONG ticks)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(ticks) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1)
        processors = static_cast<DWORD>(atoi(argv[1]));
    const int runs = argc > 2 ? atoi(argv[2]) : 9;
    if (processors < 1 || processors > 2048 || runs < 1) {
        fprintf(stderr, "usage: worker_start_bench [processors 1-2048] [runs]\n");
        return 64;
    }

    FakeProcessors machine(processors);
    measurePlatform().CreateThread = KeptCreateThread;
    InitializeCriticalSection(&startedLock);
    started.reserve(processors);

    // A window with a "Test" button (control 1) in place of the dialog.
    HWND dialog = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 100, 50, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    CreateWindowExA(0, "BUTTON", "Test", WS_CHILD, 0, 0, 50, 20, dialog, reinterpret_cast<HMENU>(1),
                    GetModuleHandleA(nullptr), nullptr);
    MeasureWindowMs = 1;
    RepeatCount = 1;

    std::vector<double> times;
    size_t workers = 0;
    for (int run = 0; run < runs; ++run) {
        LARGE_INTEGER before, after;
        QueryPerformanceCounter(&before);
        startProcessorWorkers(dialog);
        QueryPerformanceCounter(&after);
        times.push_back(Milliseconds(after.QuadPart - before.QuadPart));
        workers = WaitForWorkers();
    }
    KillTimer(dialog, DisplayTimer);
    DestroyWindow(dialog);

    std::sort(times.begin(), times.end());
    printf("worker_start processors=%lu workers=%lu runs=%d median_ms=%.2f max_ms=%.2f\n",
           static_cast<unsigned long>(processors), static_cast<unsigned long>(workers), runs,
           times[times.size() / 2], times.back());
    return 0;
}
