#pragma once

#include <windows.h>

#include "measure/processor_workers.h"

// One test of the per-processor workers, for the benchmarks, run as the main dialog runs it.

// A window standing in for the main dialog: a "Test" button (control 1) for the workers to
// disable, and the display timer they re-arm. Destroy it with DestroyWindow.
HWND CreateStandInDialog();

// Starts the workers with the given window and repetitions and waits, as the dialog does, for
// the display timer, going on waiting when it fires before every worker has stored both its
// figures and, one by one, until the test is over. Returns the number of processors measured;
// the figures are in the result table.
LONG RunWorkerTest(HWND standIn, LONG windowMs, LONG repetitions, WorkerOrder order = WorkerOrder::AllAtOnce);
