#pragma once

#include <windows.h>

// Timer 1000 on the main dialog: each finishing worker kills and re-arms it, and the dialog
// shows the ResultTable when it fires.
const UINT_PTR DisplayTimer = 1000;
const UINT DisplayTimerPeriodMs = 500;

struct WorkerBatch;

// What one worker is handed: the dialog to notify and the 1-based processor it measures.
struct ProcessorWorker {
    HWND dialog;
    LONG processor;
    WorkerBatch* batch; // the start these records belong to; null for a record of the caller's
};

// How a test runs its workers: all at once, or one at a time in processor order, each
// started only when the one before has stored its figures, so that each core clock is the
// clock its processor reaches while it alone works.
enum class WorkerOrder { AllAtOnce, OneByOne };

// Disables "Test", sets the ResultTable count to the number of processors and starts one
// worker per processor, each bound to its processor; returns without waiting for them. Where
// the system has processor groups, that is every logical processor of every active group, in
// group order, up to the table's last entry, and a starter thread of their own creates them;
// elsewhere every processor GetSystemInfo reports that an affinity mask can name.
//
// One by one, the same processors in the same order are measured by a coordinating thread that
// starts each worker, waits on its handle and only then starts the next; the entries of the
// test's processors are cleared first, so that the rows fill in as they finish. The workers
// leave the display timer alone: it is armed here, the dialog re-arms it while the test runs
// (oneByOneProgress), and the coordinator re-arms it once the last worker has finished.
void startProcessorWorkers(HWND dialog, WorkerOrder order = WorkerOrder::AllAtOnce);

// Whether a test's workers, of either kind of test, are still measuring: from their start until
// the last of them has finished. A worker that cannot be created or resumed does not count.
bool workersRunning();

// How far the latest one-by-one test has got: whether it is still measuring, and how many of
// its processors have finished.
struct OneByOneProgress {
    bool running;
    LONG done;
};
OneByOneProgress oneByOneProgress();

// The worker thread: measures MeasureWindowMs × RepeatCount of busy-waiting on its processor,
// stores the result in MHz in its ResultTable entry, then measures and stores its processor's
// core clock (core_clock.h), and re-arms DisplayTimer unless it belongs to a one-by-one test.
// Exit code 1.
DWORD WINAPI ProcessorWorkerMain(LPVOID record);
