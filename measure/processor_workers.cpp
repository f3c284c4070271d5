#include "measure/processor_workers.h"

#include <atomic>
#include <new>

#include "measure/cycles_of_call.h"
#include "measure/measure_platform.h"
#include "measure/result_table.h"
#include "measure/spin_wait.h"
#include "measure/test_parameters.h"

// The records of one start, shared by its workers. The start routine holds one reference
// while it creates the threads and every created worker holds one until it has finished with
// its record; whoever drops the last frees the batch, so nothing outlives the test that
// needed it and no record is freed under a running worker.
struct WorkerBatch {
    std::atomic<LONG> users;
    ProcessorWorker* records;
};

namespace {

const int TestButton = 1;

WorkerBatch* CreateBatch(LONG workers)
{
    WorkerBatch* batch = new (std::nothrow) WorkerBatch;
    if (batch == nullptr)
        return nullptr;
    batch->records = new (std::nothrow) ProcessorWorker[workers];
    if (batch->records == nullptr) {
        delete batch;
        return nullptr;
    }
    batch->users.store(1);
    return batch;
}

void ReleaseBatch(WorkerBatch* batch)
{
    if (batch != nullptr && batch->users.fetch_sub(1) == 1) {
        delete[] batch->records;
        delete batch;
    }
}

void RearmDisplayTimer(HWND dialog)
{
    measurePlatform().KillTimer(dialog, DisplayTimer);
    measurePlatform().SetTimer(dialog, DisplayTimer, DisplayTimerPeriodMs, nullptr);
}

// Processor k is bound with bit k − 1 of the affinity mask, which is as wide as a pointer:
// 32 processors on x86, 64 on x64. A processor beyond the mask cannot be named, so its
// worker runs unbound, as does one whose binding the system refuses.
bool BindToProcessor(HANDLE thread, LONG processor)
{
    const LONG maskBits = sizeof(DWORD_PTR) * 8;
    if (processor > maskBits)
        return false;
    DWORD_PTR mask = static_cast<DWORD_PTR>(1) << (processor - 1);
    return measurePlatform().SetThreadAffinityMask(thread, mask) != 0;
}

} // namespace

void startProcessorWorkers(HWND dialog)
{
    measurePlatform().EnableWindow(measurePlatform().GetDlgItem(dialog, TestButton), FALSE);

    SYSTEM_INFO system;
    ZeroMemory(&system, sizeof system);
    measurePlatform().GetSystemInfo(&system);
    LONG processors = static_cast<LONG>(system.dwNumberOfProcessors);
    // Processors beyond the table's last entry have nowhere to put a result: they get no
    // worker.
    if (processors > ResultTable::LastProcessor)
        processors = ResultTable::LastProcessor;

    WorkerBatch* batch = processors > 0 ? CreateBatch(processors) : nullptr;
    if (processors > 0 && batch == nullptr) {
        // No room for the records: no worker can run. The timer still fires, so that the
        // dialog shows the table as it stands and enables "Test" again.
        RearmDisplayTimer(dialog);
        return;
    }

    resultTable.setCount(processors);
    int started = 0;
    for (LONG k = 1; k <= processors; ++k) {
        ProcessorWorker* record = &batch->records[k - 1];
        record->dialog = dialog;
        record->processor = k;
        record->batch = batch;
        batch->users.fetch_add(1);
        DWORD threadId = 0;
        HANDLE thread = measurePlatform().CreateThread(nullptr, 0, ProcessorWorkerMain, record,
                                                       CREATE_SUSPENDED, &threadId);
        if (thread == nullptr) {
            // Not detected further: this processor's entry keeps its earlier value.
            batch->users.fetch_sub(1);
            continue;
        }
        BindToProcessor(thread, k);
        if (measurePlatform().ResumeThread(thread) == static_cast<DWORD>(-1)) {
            // A thread left suspended never touches its record. The handle is its only way
            // to be resumed, and it is closed below.
            batch->users.fetch_sub(1);
        } else {
            ++started;
        }
        // Closing the handle leaves the thread running; nothing here waits for it.
        measurePlatform().CloseHandle(thread);
    }
    ReleaseBatch(batch);

    // With no worker running, none would arm the timer and "Test" would stay disabled.
    if (started == 0)
        RearmDisplayTimer(dialog);
}

DWORD WINAPI ProcessorWorkerMain(LPVOID parameter)
{
    DWORD repetitions = static_cast<DWORD>(RepeatCount.load(std::memory_order_acquire));
    DWORD windowMs = static_cast<DWORD>(MeasureWindowMs.load(std::memory_order_acquire));

    ULONGLONG waitSum = 0;
    ULONGLONG overheadSum = 0;
    for (DWORD i = 0; i < repetitions; ++i) {
        waitSum += CyclesOfCall(SpinWait, static_cast<int>(windowMs));
        overheadSum += CyclesOfCall(SpinWaitOverhead, static_cast<int>(windowMs));
    }

    // A count or a window of 0 gives no frequency: the entry is set to 0.0 rather than
    // divided by zero, and the timer is re-armed as after any other test.
    double mhz = 0.0;
    if (repetitions != 0 && windowMs != 0) {
        LONGLONG perRepetition = static_cast<LONGLONG>(waitSum - overheadSum) / static_cast<LONGLONG>(repetitions);
        LONGLONG perMillisecond = perRepetition / static_cast<LONGLONG>(windowMs);
        mhz = static_cast<double>(perMillisecond) * 0.001;
    }

    ProcessorWorker* record = static_cast<ProcessorWorker*>(parameter);
    resultTable.store(record->processor, mhz);
    HWND dialog = record->dialog;
    WorkerBatch* batch = record->batch;
    ReleaseBatch(batch);
    RearmDisplayTimer(dialog);
    return 1;
}
