#include "measure/processor_workers.h"

#include <atomic>
#include <new>

#include "measure/core_clock.h"
#include "measure/measure_platform.h"
#include "measure/result_table.h"
#include "measure/test_parameters.h"
#include "measure/time_stamp_rate.h"
#include "processor/emulation.h"
#include "processor/processor_groups.h"

// The records of one start, shared by its workers. The start routine holds one reference
// while it creates the threads and every created worker holds one until it has finished with
// its record; whoever drops the last frees the batch, so nothing outlives the test that
// needed it and no record is freed under a running worker.
struct WorkerBatch {
    std::atomic<LONG> users;
    ProcessorWorker* records;
    bool rearmsTimer; // false for a one-by-one test, whose coordinator arms the timer
};

namespace {

const int TestButton = 1;

std::atomic<bool> oneByOneRunning{false};
std::atomic<LONG> oneByOneDone{0};
// The batches not yet freed: a test runs from the start of its workers until the last of them
// has finished with its record.
std::atomic<LONG> liveBatches{0};

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
    batch->rearmsTimer = true;
    liveBatches.fetch_add(1);
    return batch;
}

// Returns whether this was the batch's last user, which freed it.
bool ReleaseBatch(WorkerBatch* batch)
{
    if (batch == nullptr || batch->users.fetch_sub(1) != 1)
        return false;
    delete[] batch->records;
    delete batch;
    liveBatches.fetch_sub(1);
    return true;
}

void RearmDisplayTimer(HWND dialog)
{
    measurePlatform().KillTimer(dialog, DisplayTimer);
    measurePlatform().SetTimer(dialog, DisplayTimer, DisplayTimerPeriodMs, nullptr);
}

// A worker's stack where processor groups let a test start up to 2,048 of them: each needs
// little, and the program's default reservation, 2,048 times over, would not fit in the
// address space of a 32-bit process.
const SIZE_T GroupWorkerStackReserve = 256 * 1024;

// The records of one start of workers for processors 1 to processors, each with the dialog to
// notify; null when there is no room for them.
WorkerBatch* PrepareBatch(HWND dialog, LONG processors)
{
    WorkerBatch* batch = CreateBatch(processors);
    if (batch == nullptr)
        return nullptr;
    for (LONG k = 1; k <= processors; ++k) {
        ProcessorWorker* record = &batch->records[k - 1];
        record->dialog = dialog;
        record->processor = k;
        record->batch = batch;
    }
    return batch;
}

// Creates the worker of one record, suspended, with the reference to its batch it drops when
// it has finished with the record; null when the thread cannot be created.
HANDLE CreateWorker(ProcessorWorker* record, SIZE_T stackSize, DWORD flags)
{
    record->batch->users.fetch_add(1);
    DWORD threadId = 0;
    HANDLE thread = measurePlatform().CreateThread(nullptr, stackSize, ProcessorWorkerMain, record,
                                                   CREATE_SUSPENDED | flags, &threadId);
    // Not detected further: this processor's entry keeps its earlier value. The start's own
    // reference keeps the batch alive.
    if (thread == nullptr)
        record->batch->users.fetch_sub(1);
    return thread;
}

// Resumes a created worker. Returns whether it runs; the caller closes the handle, which
// leaves the thread running.
bool ResumeWorker(HANDLE thread, WorkerBatch* batch)
{
    bool running = measurePlatform().ResumeThread(thread) != static_cast<DWORD>(-1);
    // A thread left suspended never touches its record, and once its handle is closed
    // nothing can resume it.
    if (!running)
        batch->users.fetch_sub(1);
    return running;
}

// What the starter of one test's workers with processor groups, or the coordinator of a
// one-by-one test, is handed, and frees. Without processor groups places is null.
struct GroupStart {
    HWND dialog;
    LONG processors;
    ProcessorPlace* places;
    WorkerBatch* batch;
};

// Returns whether the start was the last user of its batch: every worker has finished.
bool FreeStart(GroupStart* start)
{
    const bool last = ReleaseBatch(start->batch);
    delete[] start->places;
    delete start;
    return last;
}

// The start of workers for processors 1 to processors, with their places in the processor
// groups when grouped, and the result table sized for them. Null when there are no processors
// (the table is then emptied) or no room for the records (the table stays as it was).
GroupStart* PrepareStart(HWND dialog, LONG processors, bool grouped)
{
    if (processors <= 0) {
        resultTable.setCount(0);
        return nullptr;
    }
    GroupStart* start = new (std::nothrow) GroupStart;
    ProcessorPlace* places = grouped ? new (std::nothrow) ProcessorPlace[processors] : nullptr;
    WorkerBatch* batch = start != nullptr && (!grouped || places != nullptr) ? PrepareBatch(dialog, processors)
                                                                              : nullptr;
    if (batch == nullptr) {
        delete[] places;
        delete start;
        return nullptr;
    }
    start->dialog = dialog;
    start->processors = grouped ? ListGroupProcessors(places, processors) : processors;
    start->places = places;
    start->batch = batch;
    resultTable.setCount(start->processors);
    return start;
}

// Creates the worker of processor k of a start, suspended and bound to its processor: with
// its group and bit where the start has places, else with its bit of a plain affinity mask.
// Null when the thread cannot be created.
HANDLE CreateBoundWorker(GroupStart* start, LONG k)
{
    const bool grouped = start->places != nullptr;
    HANDLE thread = CreateWorker(&start->batch->records[k - 1], grouped ? GroupWorkerStackReserve : 0,
                                 grouped ? STACK_SIZE_PARAM_IS_A_RESERVATION : 0);
    if (thread != nullptr) {
        // Processor k is bound with bit k − 1 of the affinity mask, which is as wide as a
        // pointer: 32 processors on x86, 64 on x64. A worker whose binding the system refuses
        // runs unbound.
        const ProcessorPlace bit = {0, static_cast<KAFFINITY>(1) << (k - 1)};
        BindThreadToPlace(thread, grouped ? start->places[k - 1] : bit, grouped);
    }
    return thread;
}

// Without processor groups: each processor bound with its bit of a plain affinity mask, and
// each resumed as soon as it is bound. Returns the workers started.
LONG StartMaskWorkers(HWND dialog)
{
    GroupStart* start = PrepareStart(dialog, MaskProcessorCount(), false);
    if (start == nullptr)
        return 0;
    LONG started = 0;
    for (LONG k = 1; k <= start->processors; ++k) {
        HANDLE thread = CreateBoundWorker(start, k);
        if (thread == nullptr)
            continue;
        if (ResumeWorker(thread, start->batch))
            ++started;
        measurePlatform().CloseHandle(thread);
    }
    FreeStart(start);
    return started;
}

// Creates every worker of a start with processor groups, each bound with its group and its
// bit, then resumes them all, and frees the start. Arms the display timer itself when the
// test ends with it, no worker running any more (or none having run), as nobody else would
// arm it after the end. Exit code 1.
DWORD WINAPI GroupStarterMain(LPVOID parameter)
{
    GroupStart* start = static_cast<GroupStart*>(parameter);
    HANDLE* threads = new (std::nothrow) HANDLE[start->processors];
    if (threads != nullptr) {
        for (LONG k = 1; k <= start->processors; ++k)
            threads[k - 1] = CreateBoundWorker(start, k);
        // Resumed only once every worker exists: a worker spins from the moment it runs, and
        // the one bound to this thread's processor would take its time while it still had
        // hundreds of workers to create.
        for (LONG k = 1; k <= start->processors; ++k) {
            if (threads[k - 1] == nullptr)
                continue;
            ResumeWorker(threads[k - 1], start->batch);
            measurePlatform().CloseHandle(threads[k - 1]);
        }
        delete[] threads;
    }
    const HWND dialog = start->dialog;
    if (FreeStart(start))
        RearmDisplayTimer(dialog);
    return 1;
}

// With processor groups: every listed processor of every active group. Creating hundreds of
// threads takes far longer than a dialog may stay deaf, so a starter thread of its own creates
// them, and the dialog thread returns at once. Where the starter cannot be created, this
// thread does its work. Returns false when nothing will run, for want of memory.
bool StartGroupWorkers(HWND dialog, LONG processors)
{
    GroupStart* start = PrepareStart(dialog, processors, true);
    if (start == nullptr)
        return false;
    DWORD threadId = 0;
    HANDLE starter = measurePlatform().CreateThread(nullptr, GroupWorkerStackReserve, GroupStarterMain, start,
                                                    STACK_SIZE_PARAM_IS_A_RESERVATION, &threadId);
    if (starter == nullptr)
        GroupStarterMain(start);
    else
        measurePlatform().CloseHandle(starter);
    return true;
}

// The coordinator of a one-by-one test: creates, binds and resumes the worker of each
// processor in turn and waits on its handle before it goes on, so that no two workers ever
// run at once, then re-arms the display timer for the final display. It spends the test
// waiting, not working. Exit code 1.
DWORD WINAPI OneByOneMain(LPVOID parameter)
{
    GroupStart* start = static_cast<GroupStart*>(parameter);
    for (LONG k = 1; k <= start->processors; ++k) {
        HANDLE thread = CreateBoundWorker(start, k);
        if (thread != nullptr) {
            // A wait that fails would let the next worker overlap this one; it is not
            // expected on a handle of our own, and then the test goes on regardless.
            if (ResumeWorker(thread, start->batch))
                measurePlatform().WaitForSingleObject(thread, INFINITE);
            measurePlatform().CloseHandle(thread);
        }
        oneByOneDone.store(k);
    }
    oneByOneRunning.store(false);
    // The test is over once the batch is freed, before the final display.
    const HWND dialog = start->dialog;
    FreeStart(start);
    RearmDisplayTimer(dialog);
    return 1;
}

// One by one: the processors of either kind of start, measured in turn by a coordinating
// thread. Returns false when nothing will run.
bool StartOneByOne(HWND dialog, LONG grouped)
{
    GroupStart* start = PrepareStart(dialog, grouped > 0 ? grouped : MaskProcessorCount(), grouped > 0);
    if (start == nullptr)
        return false;
    start->batch->rearmsTimer = false;
    for (LONG k = 1; k <= start->processors; ++k) {
        resultTable.store(k, 0.0);
        resultTable.storeCoreClock(k, 0.0);
    }
    oneByOneDone.store(0);
    oneByOneRunning.store(true);
    // The display while the test runs; the dialog re-arms it until the test is over.
    RearmDisplayTimer(dialog);

    DWORD threadId = 0;
    HANDLE coordinator = measurePlatform().CreateThread(nullptr, 0, OneByOneMain, start, 0, &threadId);
    if (coordinator == nullptr) {
        oneByOneRunning.store(false);
        FreeStart(start);
        return false;
    }
    measurePlatform().CloseHandle(coordinator);
    return true;
}

} // namespace

bool workersRunning()
{
    return liveBatches.load() > 0;
}

OneByOneProgress oneByOneProgress()
{
    OneByOneProgress progress = {oneByOneRunning.load(), oneByOneDone.load()};
    return progress;
}

void startProcessorWorkers(HWND dialog, WorkerOrder order)
{
    measurePlatform().EnableWindow(measurePlatform().GetDlgItem(dialog, TestButton), FALSE);

    // Processors past the table's last entry have nowhere to put a result: they get no worker.
    const LONG grouped = ListGroupProcessors(nullptr, ResultTable::LastProcessor);
    bool running;
    if (order == WorkerOrder::OneByOne)
        running = StartOneByOne(dialog, grouped);
    else
        running = grouped > 0 ? StartGroupWorkers(dialog, grouped) : StartMaskWorkers(dialog) > 0;

    // With no worker running, none would arm the timer and "Test" would stay disabled. The
    // timer still fires, so that the dialog shows the table as it stands and enables "Test".
    if (!running)
        RearmDisplayTimer(dialog);
}

DWORD WINAPI ProcessorWorkerMain(LPVOID parameter)
{
    const DWORD repetitions = static_cast<DWORD>(RepeatCount.load(std::memory_order_acquire));
    const DWORD windowMs = static_cast<DWORD>(MeasureWindowMs.load(std::memory_order_acquire));
    const double mhz = MeasureTimeStampMhz(repetitions, windowMs);

    ProcessorWorker* record = static_cast<ProcessorWorker*>(parameter);
    resultTable.store(record->processor, mhz);
    // While the core is still busy at its full clock, on the same bound thread. Emulated x86
    // code has no core of its own to measure.
    resultTable.storeCoreClock(record->processor, EmulatedOn() == nullptr ? MeasureCoreClock(mhz) : 0.0);
    HWND dialog = record->dialog;
    WorkerBatch* batch = record->batch;
    const bool rearm = batch == nullptr || batch->rearmsTimer;
    ReleaseBatch(batch);
    if (rearm)
        RearmDisplayTimer(dialog);
    return 1;
}
