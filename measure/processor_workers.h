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

// Disables "Test", sets the ResultTable count to the number of processors and starts one
// worker per processor, each bound to its processor; returns without waiting for them. Where
// the system has processor groups, that is every logical processor of every active group, in
// group order, up to the table's last entry, and a starter thread of their own creates them;
// elsewhere every processor GetSystemInfo reports that an affinity mask can name.
void startProcessorWorkers(HWND dialog);

// The worker thread: measures MeasureWindowMs × RepeatCount of busy-waiting on its processor,
// stores the result in MHz in its ResultTable entry, then measures and stores its processor's
// core clock (core_clock.h), and re-arms DisplayTimer. Exit code 1.
DWORD WINAPI ProcessorWorkerMain(LPVOID record);
