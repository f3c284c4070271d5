#include "worker_test.h"

#include "measure/processor_workers.h"
#include "measure/result_table.h"
#include "measure/test_parameters.h"

namespace {

const char StandInClass[] = "BenchStandInDialog";

// Stored in every entry before a test: no worker stores a negative figure.
const double Unwritten = -1.0;

bool timerFired;

LRESULT CALLBACK StandInProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER && wParam == DisplayTimer) {
        KillTimer(window, DisplayTimer);
        timerFired = true;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// A worker stores its core clock after its time-stamp figure, so that one marks both.
bool AllWritten(LONG processors)
{
    for (LONG k = 1; k <= processors; ++k) {
        if (resultTable.coreClock(k) == Unwritten)
            return false;
    }
    return true;
}

} // namespace

HWND CreateStandInDialog()
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = StandInProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = StandInClass;
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, StandInClass, "", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                  windowClass.hInstance, nullptr);
    CreateWindowExA(0, "BUTTON", "Test", WS_CHILD, 0, 0, 80, 24, window, reinterpret_cast<HMENU>(1),
                    windowClass.hInstance, nullptr);
    return window;
}

LONG RunWorkerTest(HWND standIn, LONG windowMs, LONG repetitions, WorkerOrder order)
{
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    for (DWORD k = 1; k <= system.dwNumberOfProcessors && k <= ResultTable::LastProcessor; ++k) {
        resultTable.store(static_cast<int>(k), Unwritten);
        resultTable.storeCoreClock(static_cast<int>(k), Unwritten);
    }
    MeasureWindowMs.store(windowMs);
    RepeatCount.store(repetitions);
    timerFired = false;
    startProcessorWorkers(standIn, order);
    const LONG processors = resultTable.count();
    MSG message;
    // One by one, the test's entries are cleared at its start and the timer fires while the
    // workers run: the test is over once its coordinator says so.
    while (!(timerFired && AllWritten(processors) && !oneByOneProgress().running)) {
        if (GetMessageA(&message, nullptr, 0, 0) <= 0)
            break;
        if (message.message == WM_TIMER && !AllWritten(processors))
            timerFired = false;
        DispatchMessageA(&message);
    }
    return processors;
}
