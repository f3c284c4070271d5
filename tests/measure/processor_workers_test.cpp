#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "allocation_count.h"
#include "fake_measure_platform.h"
#include "measure/processor_workers.h"
#include "processor/processor_groups.h"
#include "measure/result_table.h"
#include "measure/test_parameters.h"

namespace {

const HWND Dialog = reinterpret_cast<HWND>(0x4242);
const HWND TestButton = reinterpret_cast<HWND>(0x4343);

struct CreatedThread {
    LPTHREAD_START_ROUTINE routine;
    LPVOID parameter;
    DWORD flags;
    HANDLE handle;
};

DWORD processorCount;
bool threadsFail;
BOOL affinityResult;
std::vector<CreatedThread> threads;
std::vector<std::string> calls; // the platform calls in order, as text

std::string Text(HANDLE handle)
{
    return std::to_string(reinterpret_cast<UINT_PTR>(handle));
}

void WINAPI FakeGetSystemInfo(SYSTEM_INFO* system)
{
    system->dwNumberOfProcessors = processorCount;
    system->dwProcessorType = 8664;
}

HANDLE WINAPI FakeCreateThread(LPSECURITY_ATTRIBUTES, SIZE_T stack, LPTHREAD_START_ROUTINE routine,
                               LPVOID parameter, DWORD flags, LPDWORD id)
{
    if (threadsFail) {
        calls.push_back("create failed");
        return nullptr;
    }
    HANDLE handle = reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(0x100 + threads.size()));
    threads.push_back({routine, parameter, flags, handle});
    *id = 0x900 + static_cast<DWORD>(threads.size());
    calls.push_back("create " + Text(handle) + " stack " + std::to_string(stack));
    return handle;
}

DWORD_PTR WINAPI FakeSetThreadAffinityMask(HANDLE thread, DWORD_PTR mask)
{
    calls.push_back("bind " + Text(thread) + " " + std::to_string(mask));
    return affinityResult;
}

// Workers resumed and not yet waited for, and the most there ever were at once.
int busyWorkers;
int mostBusyWorkers;

DWORD WINAPI FakeResumeThread(HANDLE thread)
{
    calls.push_back("resume " + Text(thread));
    if (++busyWorkers > mostBusyWorkers)
        mostBusyWorkers = busyWorkers;
    return 1;
}

// Runs the thread's routine to its end on this thread, as if it had run while the caller
// waited, noting whether the caller still reported its test as running.
DWORD WINAPI FakeWaitForSingleObject(HANDLE handle, DWORD timeout)
{
    LONG processor = 0;
    for (const CreatedThread& thread : threads) {
        if (thread.handle == handle && thread.routine == ProcessorWorkerMain) {
            processor = static_cast<const ProcessorWorker*>(thread.parameter)->processor;
            thread.routine(thread.parameter);
        }
    }
    --busyWorkers;
    calls.push_back("wait " + Text(handle) + " " + std::to_string(processor) + (timeout == INFINITE ? "" : " timed")
                    + (oneByOneProgress().running ? " running" : " ended"));
    return WAIT_OBJECT_0;
}

BOOL WINAPI FakeCloseHandle(HANDLE handle)
{
    calls.push_back("close " + Text(handle));
    return TRUE;
}

HWND WINAPI FakeGetDlgItem(HWND dialog, int id)
{
    return dialog == Dialog && id == 1 ? TestButton : nullptr;
}

BOOL WINAPI FakeEnableWindow(HWND window, BOOL enable)
{
    calls.push_back(std::string(enable ? "enable" : "disable") + (window == TestButton ? " Test" : " ?"));
    return FALSE;
}

BOOL WINAPI FakeKillTimer(HWND window, UINT_PTR id)
{
    calls.push_back("kill timer " + std::to_string(id) + (window == Dialog ? "" : " elsewhere"));
    return TRUE;
}

UINT_PTR WINAPI FakeSetTimer(HWND window, UINT_PTR id, UINT period, TIMERPROC routine)
{
    calls.push_back("set timer " + std::to_string(id) + " " + std::to_string(period)
                    + (routine == nullptr ? "" : " with routine") + (window == Dialog ? "" : " elsewhere"));
    return id;
}

class ProcessorWorkersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        installFakeClock();
        // A 1 ms wait takes one counter step, and the clock's log has room for what the workers
        // of a test write: the allocation checks see the records only. Grown by an earlier test
        // instead, the log would make those checks depend on the order the tests run in.
        fakeClock().counterStep = 10000;
        fakeClock().log.reserve(1 << 18);
        MeasurePlatform& platform = measurePlatform();
        processorPlatform().GetSystemInfo = FakeGetSystemInfo;
        platform.CreateThread = FakeCreateThread;
        processorPlatform().SetThreadAffinityMask = FakeSetThreadAffinityMask;
        platform.ResumeThread = FakeResumeThread;
        platform.CloseHandle = FakeCloseHandle;
        platform.WaitForSingleObject = FakeWaitForSingleObject;
        platform.GetDlgItem = FakeGetDlgItem;
        platform.EnableWindow = FakeEnableWindow;
        platform.KillTimer = FakeKillTimer;
        platform.SetTimer = FakeSetTimer;
        // Without processor groups, or any record of the machine's own, unless a test gives the
        // platform some.
        processorPlatform().GetLogicalProcessorInformationEx = nullptr;
        processorPlatform().GetActiveProcessorGroupCount = nullptr;
        processorPlatform().GetActiveProcessorCount = nullptr;
        processorPlatform().SetThreadGroupAffinity = nullptr;
        threadsFail = false;
        affinityResult = 1;
        busyWorkers = 0;
        mostBusyWorkers = 0;
        // Reserved up front, so that logging a call allocates only the text of the call.
        threads.clear();
        threads.reserve(ResultTable::LastProcessor);
        calls.clear();
        calls.reserve(4 * ResultTable::LastProcessor + 8);
        savedWindow_ = MeasureWindowMs;
        savedRepeat_ = RepeatCount;
        MeasureWindowMs = 1;
        RepeatCount = 1;
        for (int k = 1; k <= ResultTable::LastProcessor; ++k)
            resultTable.store(k, 777.0);
    }

    void TearDown() override
    {
        MeasureWindowMs = savedWindow_;
        RepeatCount = savedRepeat_;
    }

    // Runs the captured threads' routines one after another on this thread.
    void runWorkers(size_t from, size_t to)
    {
        for (size_t i = from; i < to; ++i)
            EXPECT_EQ(1u, threads[i].routine(threads[i].parameter)) << "worker " << i + 1;
    }

    MeasurePlatformScope scope_;
    LONG savedWindow_;
    LONG savedRepeat_;
};

// At 10 MHz, a time-stamp counter of 2400 MHz advances 240 cycles per performance-counter tick.
// Each repetition reads the counter inside a bracket of two performance-counter readings,
// waits, and reads it inside a bracket again; the readings below are scripted in that order:
// bracket (2), the wait's start and its readings up to the deadline, bracket (2).
struct WorkerCase {
    const char* name;
    LONG repetitions;
    LONG windowMs;
    std::vector<LONGLONG> counterReadings;
    std::vector<unsigned long long> timeStamps;
    double expectedMhz;
};

TEST_F(ProcessorWorkersTest, AWorkerDividesTheCyclesByTheTimeThatPassedInWholeKilohertz)
{
    const WorkerCase cases[] = {
        {"7,200,000,000 cycles over 3 waits of exactly 1000 ms",
         3, 1000,
         {0, 0, 0, 10000000, 10000000, 10000000,
          10000000, 10000000, 10000000, 20000000, 20000000, 20000000,
          20000000, 20000000, 20000000, 30000000, 30000000, 30000000},
         {0, 2400000000ULL, 2400000000ULL, 4800000000ULL, 4800000000ULL, 7200000000ULL},
         2400.0},
        {"a fraction of a kilohertz is truncated",
         1, 1000, {0, 0, 0, 10000000, 10000000, 10000000}, {0, 2000001999ULL}, 2000.001},
        {"a wait that overshoots its 100 ms by 30%",
         1, 100, {0, 0, 0, 1300000, 1300000, 1300000}, {0, 312000000ULL}, 2400.0},
        {"a thread preempted inside a bracket reads it again",
         1, 100, {0, 0, 0, 1000000, 1000000, 1500000, 1500000, 1500000}, {0, 240000000ULL, 360000000ULL},
         2400.0},
        {"readings that do not advance", 1, 100, {0, 0, 0, 1000000, 1000000, 1000000}, {5, 5}, 0.0},
        {"no repetitions", 0, 1000, {}, {}, 0.0},
        {"a window of 0 ms", 2, 0, {}, {}, 0.0},
    };
    for (const WorkerCase& c : cases) {
        installFakeClock();
        fakeClock().counterReadings = c.counterReadings;
        fakeClock().timeStampReadings = c.timeStamps;
        calls.clear();
        RepeatCount = c.repetitions;
        MeasureWindowMs = c.windowMs;
        ProcessorWorker record = {Dialog, 3, nullptr};
        EXPECT_EQ(1u, ProcessorWorkerMain(&record)) << c.name;
        EXPECT_DOUBLE_EQ(c.expectedMhz, resultTable.value(3)) << c.name;
        EXPECT_EQ(777.0, resultTable.value(2)) << c.name << ": only its own entry";
        EXPECT_EQ(777.0, resultTable.value(4)) << c.name << ": only its own entry";
        EXPECT_EQ((std::vector<std::string>{"kill timer 1000", "set timer 1000 500"}), calls) << c.name;
    }
}

TEST_F(ProcessorWorkersTest, EachRepetitionBracketsBothReadingsAroundOneWait)
{
    RepeatCount = 2;
    MeasureWindowMs = 100;
    fakeClock().counterReadings = {0, 0, 0, 1000000, 1000000, 1000000,
                                   1000000, 1000000, 1000000, 2000000, 2000000, 2000000};
    ProcessorWorker record = {Dialog, 1, nullptr};
    ProcessorWorkerMain(&record);
    const std::string repetition = "CTC" "FCC" "CTC";
    const std::string expected = "F" + repetition + repetition;
    EXPECT_EQ(expected, fakeClock().log.substr(0, expected.size())) << "the core clock's reads follow";
}

double coreClockWhenKilled;

BOOL WINAPI KillTimerNotingCoreClock(HWND window, UINT_PTR id)
{
    coreClockWhenKilled = resultTable.coreClock(3);
    return FakeKillTimer(window, id);
}

// 2,400,000,000 cycles over a wait of 1000 ms: a counter of 2,400 MHz, which then times chains
// that run at 3,200 MHz.
TEST_F(ProcessorWorkersTest, AWorkerStoresItsCoreClockBeforeItRearmsTheTimer)
{
    static const ProcessorSignature intel = {true, 6, 0x97};
    installFakeProcessor(&intel, 8664);
    FakeClock& clock = fakeClock();
    clock.counterReadings = {0, 0, 0, 10000000, 10000000, 10000000};
    clock.timeStampReadings = {0, 2400000000ULL};
    clock.cycles = 2400000000ULL;
    clock.cyclesPerTimeStampRead = 30;
    clock.timeStampMhz = 2400.0;
    clock.coreMhz = 3200.0;
    clock.chainFixedCycles = 400.0;
    clock.chainPassCycles = 4.0;
    RepeatCount = 1;
    MeasureWindowMs = 1000;
    resultTable.storeCoreClock(4, 777.0);
    coreClockWhenKilled = 0.0;
    measurePlatform().KillTimer = KillTimerNotingCoreClock;
    ProcessorWorker record = {Dialog, 3, nullptr};
    ProcessorWorkerMain(&record);
    EXPECT_DOUBLE_EQ(2400.0, resultTable.value(3));
    EXPECT_DOUBLE_EQ(3200.0, resultTable.coreClock(3));
    EXPECT_DOUBLE_EQ(3200.0, coreClockWhenKilled);
    EXPECT_EQ(777.0, resultTable.coreClock(4)) << "only its own entry";
    EXPECT_EQ((std::vector<std::string>{"kill timer 1000", "set timer 1000 500"}), calls);
}

unsigned long long FaultingTimeStamp()
{
    RaiseException(STATUS_ILLEGAL_INSTRUCTION, EXCEPTION_NONCONTINUABLE, 0, nullptr);
    return 0;
}

BOOL WINAPI FailingFrequency(LARGE_INTEGER*)
{
    return FALSE;
}

TEST_F(ProcessorWorkersTest, WithoutATimeStampCounterOrAPerformanceCounterAWorkerStoresZero)
{
    RepeatCount = 1;
    MeasureWindowMs = 1;
    measurePlatform().ReadTimeStamp = FaultingTimeStamp;
    ProcessorWorker record = {Dialog, 2, nullptr};
    EXPECT_EQ(1u, ProcessorWorkerMain(&record));
    EXPECT_EQ(0.0, resultTable.value(2)) << "a processor without the counter faults at its first reading";

    installFakeClock();
    measurePlatform().QueryPerformanceFrequency = FailingFrequency;
    calls.clear();
    EXPECT_EQ(1u, ProcessorWorkerMain(&record));
    EXPECT_EQ(0.0, resultTable.value(2)) << "no performance counter";
    EXPECT_EQ((std::vector<std::string>{"kill timer 1000", "set timer 1000 500"}), calls);
}

struct StartCase {
    const char* name;
    DWORD processors;
    LONG workers;    // threads started, and the table's count
    LONG boundUpTo;  // processors bound to their own bit
};

const LONG MaskBits = sizeof(DWORD_PTR) * 8;

TEST_F(ProcessorWorkersTest, EachProcessorGetsASuspendedWorkerBoundToItsOwnBit)
{
    const StartCase cases[] = {
        {"1 processor", 1, 1, 1},
        {"4 processors", 4, 4, 4},
        {"5 processors", 5, 5, 5},
        {"as many as the mask has bits", static_cast<DWORD>(MaskBits), MaskBits, MaskBits},
        {"more than the mask can name", 200, MaskBits, MaskBits},
    };
    for (const StartCase& c : cases) {
        threads.clear();
        calls.clear();
        processorCount = c.processors;
        startProcessorWorkers(Dialog);
        ASSERT_EQ(static_cast<size_t>(c.workers), threads.size()) << c.name;
        EXPECT_EQ(c.workers, resultTable.count()) << c.name;
        std::vector<std::string> expected = {"disable Test"};
        for (LONG k = 1; k <= c.workers; ++k) {
            const CreatedThread& thread = threads[k - 1];
            const ProcessorWorker* record = static_cast<const ProcessorWorker*>(thread.parameter);
            EXPECT_EQ(ProcessorWorkerMain, thread.routine) << c.name << ", worker " << k;
            EXPECT_EQ(static_cast<DWORD>(CREATE_SUSPENDED), thread.flags) << c.name << ", worker " << k;
            EXPECT_EQ(k, record->processor) << c.name << ", worker " << k;
            EXPECT_EQ(Dialog, record->dialog) << c.name << ", worker " << k;
            std::string handle = Text(thread.handle);
            expected.push_back("create " + handle + " stack 0");
            if (k <= c.boundUpTo)
                expected.push_back("bind " + handle + " " + std::to_string(static_cast<DWORD_PTR>(1) << (k - 1)));
            expected.push_back("resume " + handle);
            expected.push_back("close " + handle);
        }
        EXPECT_EQ(expected, calls) << c.name;

        calls.clear();
        runWorkers(0, threads.size());
        for (LONG k = 1; k <= c.workers; ++k)
            EXPECT_NE(777.0, resultTable.value(k)) << c.name << ": entry " << k << " written";
        EXPECT_EQ(2u * c.workers, calls.size()) << c.name << ": each worker re-arms the timer";
    }
}

std::vector<DWORD> groupSizes; // the active processors of each group the fake system reports

WORD WINAPI FakeGetActiveProcessorGroupCount()
{
    return static_cast<WORD>(groupSizes.size());
}

DWORD WINAPI FakeGetActiveProcessorCount(WORD group)
{
    return group < groupSizes.size() ? groupSizes[group] : 0;
}

BOOL WINAPI FakeSetThreadGroupAffinity(HANDLE thread, const GROUP_AFFINITY* affinity, PGROUP_AFFINITY previous)
{
    calls.push_back("bind " + Text(thread) + " group " + std::to_string(affinity->Group) + " "
                    + std::to_string(affinity->Mask) + (previous == nullptr ? "" : " asking"));
    return TRUE;
}

void UseProcessorGroups(const std::vector<DWORD>& sizes)
{
    groupSizes = sizes;
    processorPlatform().GetActiveProcessorGroupCount = FakeGetActiveProcessorGroupCount;
    processorPlatform().GetActiveProcessorCount = FakeGetActiveProcessorCount;
    processorPlatform().SetThreadGroupAffinity = FakeSetThreadGroupAffinity;
}

// The system's record of one group whose four active processors are 0, 1, 3 and 8 of its
// mask, the others taken out or limited.
BOOL WINAPI FakeGroupRecord(LOGICAL_PROCESSOR_RELATIONSHIP, PSYSTEM_LOGICAL_PROCESSOR_INFORMATION_EX record, PDWORD length)
{
    const bool fits = record != nullptr && *length >= sizeof *record;
    if (fits) {
        ZeroMemory(record, sizeof *record);
        record->Relationship = RelationGroup;
        record->Group.ActiveGroupCount = 1;
        record->Group.GroupInfo[0].ActiveProcessorMask = 0x10B;
    }
    *length = sizeof *record;
    return fits;
}

TEST_F(ProcessorWorkersTest, WithProcessorGroupsEachProcessorIsAnActiveOneOfItsGroup)
{
    UseProcessorGroups({4});
    processorPlatform().GetLogicalProcessorInformationEx = FakeGroupRecord;
    ProcessorPlace places[4];
    ASSERT_EQ(4, ListMeasuredProcessors(places, 4));
    const KAFFINITY masks[] = {0x1, 0x2, 0x8, 0x100};
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(masks[k], places[k].mask) << "processor " << k + 1;
}

struct GroupCase {
    const char* name;
    std::vector<DWORD> groups;
};

// Every processor of every group, in group order. The dialog thread only starts a starter
// thread; that creates each worker suspended and bound to its group and bit, and resumes all
// once all exist. A group's processors past the mask's width (32 in the x86 program) and
// everything past the table's last entry get no worker.
TEST_F(ProcessorWorkersTest, WithProcessorGroupsEveryGroupsProcessorsGetAWorkerInGroupOrder)
{
    const GroupCase cases[] = {
        {"1 processor", {1}},
        {"2 processors", {2}},
        {"64 processors", {64}},
        {"65 processors in two groups", {64, 1}},
        {"128 processors in two groups", {64, 64}},
        {"2 x 48", {48, 48}},
        {"40, 40 and 16", {40, 40, 16}},
        {"2,048 processors in 32 groups", std::vector<DWORD>(32, 64)},
        {"more than the table holds", std::vector<DWORD>(33, 64)},
    };
    for (const GroupCase& c : cases) {
        UseProcessorGroups(c.groups);
        struct Place {
            DWORD group;
            DWORD_PTR mask;
        };
        std::vector<Place> places;
        for (DWORD g = 0; g < c.groups.size(); ++g) {
            for (DWORD bit = 0; bit < c.groups[g] && bit < static_cast<DWORD>(MaskBits); ++bit) {
                if (places.size() < static_cast<size_t>(ResultTable::LastProcessor))
                    places.push_back({g, static_cast<DWORD_PTR>(1) << bit});
            }
        }
        const LONG workers = static_cast<LONG>(places.size());
        threads.clear();
        calls.clear();
        startProcessorWorkers(Dialog);

        ASSERT_EQ(1u, threads.size()) << c.name << ": the dialog thread starts the starter alone";
        const CreatedThread starter = threads[0];
        EXPECT_EQ(workers, resultTable.count()) << c.name << ": set before any worker exists";
        EXPECT_EQ((std::vector<std::string>{"disable Test", "create " + Text(starter.handle) + " stack 262144",
                                            "close " + Text(starter.handle)}),
                  calls)
            << c.name;
        calls.clear();
        EXPECT_EQ(1u, starter.routine(starter.parameter)) << c.name;

        ASSERT_EQ(places.size() + 1, threads.size()) << c.name;
        std::vector<std::string> expected;
        std::vector<std::string> resumed;
        for (LONG k = 1; k <= workers; ++k) {
            const CreatedThread& thread = threads[k];
            const ProcessorWorker* record = static_cast<const ProcessorWorker*>(thread.parameter);
            EXPECT_EQ(ProcessorWorkerMain, thread.routine) << c.name << ", worker " << k;
            EXPECT_EQ(k, record->processor) << c.name << ", worker " << k;
            EXPECT_EQ(static_cast<DWORD>(CREATE_SUSPENDED | STACK_SIZE_PARAM_IS_A_RESERVATION), thread.flags)
                << c.name << ", worker " << k;
            std::string handle = Text(thread.handle);
            expected.push_back("create " + handle + " stack 262144");
            expected.push_back("bind " + handle + " group " + std::to_string(places[k - 1].group) + " "
                               + std::to_string(places[k - 1].mask));
            resumed.push_back("resume " + handle);
            resumed.push_back("close " + handle);
        }
        expected.insert(expected.end(), resumed.begin(), resumed.end());
        EXPECT_EQ(expected, calls) << c.name;

        calls.clear();
        runWorkers(1, threads.size());
        for (LONG k = 1; k <= workers; ++k)
            EXPECT_NE(777.0, resultTable.value(k)) << c.name << ": entry " << k << " written";
        EXPECT_EQ(2u * workers, calls.size()) << c.name << ": each worker re-arms the timer";
    }
}

// A start with processor groups whose workers cannot be created still arms the timer, from
// the starter thread or, where that cannot be created either, from the dialog thread doing the
// starter's work. Either way "Test" comes back, and nothing is kept.
TEST_F(ProcessorWorkersTest, WithProcessorGroupsAStartThatRunsNoWorkerStillArmsTheTimer)
{
    UseProcessorGroups({4});
    for (bool starterCreated : {true, false}) {
        const char* name = starterCreated ? "the starter runs" : "no starter";
        threads.clear();
        threadsFail = !starterCreated;
        long before = LiveAllocations();
        startProcessorWorkers(Dialog);
        if (starterCreated) {
            ASSERT_EQ(1u, threads.size()) << name;
            threadsFail = true;
            threads[0].routine(threads[0].parameter);
        }
        EXPECT_EQ(4, resultTable.count()) << name;
        ASSERT_LE(2u, calls.size()) << name;
        EXPECT_EQ("kill timer 1000", calls[calls.size() - 2]) << name;
        EXPECT_EQ("set timer 1000 500", calls.back()) << name;
        calls.clear();
        EXPECT_EQ(before, LiveAllocations()) << name;
    }
}

// Where the lookups find nothing, or the system reports no group or no processor in any, the
// start is the one without groups, call for call.
TEST_F(ProcessorWorkersTest, WithoutUsableProcessorGroupsTheStartBindsWithPlainMasks)
{
    processorCount = 3;
    startProcessorWorkers(Dialog);
    const std::vector<std::string> plain = calls;
    ASSERT_EQ(1u + 3 * 4, plain.size());
    EXPECT_EQ("bind " + Text(threads[2].handle) + " 4", plain[plain.size() - 3]);

    const GroupCase cases[] = {
        {"no group reported", {}},
        {"groups without processors", {0, 0}},
    };
    for (const GroupCase& c : cases) {
        UseProcessorGroups(c.groups);
        threads.clear();
        calls.clear();
        startProcessorWorkers(Dialog);
        EXPECT_EQ(plain, calls) << c.name;
        EXPECT_EQ(3, resultTable.count()) << c.name;
    }
    processorPlatform().SetThreadGroupAffinity = nullptr;
    groupSizes = {8};
    threads.clear();
    calls.clear();
    startProcessorWorkers(Dialog);
    EXPECT_EQ(plain, calls) << "SetThreadGroupAffinity missing";
}

// One by one, the dialog thread starts a coordinator and arms the display timer; the
// coordinator starts the worker of each processor, in processor order across the groups, and
// waits for it before it starts the next. The test's entries are cleared first, the workers
// leave the timer alone, and only after the last is the test over and the timer re-armed.
TEST_F(ProcessorWorkersTest, OneByOneEachWorkerRunsAloneInProcessorOrder)
{
    const GroupCase cases[] = {
        {"without processor groups", {}},
        {"two groups", {2, 1}},
    };
    processorCount = 3;
    for (const GroupCase& c : cases) {
        installFakeClock();
        fakeClock().counterStep = 10000;
        fakeClock().cyclesPerCounterCall = 240;
        UseProcessorGroups(c.groups);
        const bool grouped = !c.groups.empty();
        threads.clear();
        calls.clear();
        resultTable.store(3, 777.0);
        long before = LiveAllocations();
        startProcessorWorkers(Dialog, WorkerOrder::OneByOne);

        ASSERT_EQ(1u, threads.size()) << c.name;
        const CreatedThread coordinator = threads[0];
        EXPECT_EQ((std::vector<std::string>{"disable Test", "kill timer 1000", "set timer 1000 500",
                                            "create " + Text(coordinator.handle) + " stack 0",
                                            "close " + Text(coordinator.handle)}),
                  calls)
            << c.name;
        EXPECT_EQ(3, resultTable.count()) << c.name;
        EXPECT_EQ(0.0, resultTable.value(3)) << c.name << ": the rows fill in from nothing";
        EXPECT_EQ(777.0, resultTable.value(4)) << c.name;
        EXPECT_TRUE(oneByOneProgress().running) << c.name;

        calls.clear();
        EXPECT_EQ(1u, coordinator.routine(coordinator.parameter)) << c.name;
        ASSERT_EQ(4u, threads.size()) << c.name;
        const char* places[] = {" group 0 1", " group 0 2", " group 1 1"};
        std::vector<std::string> expected;
        for (LONG k = 1; k <= 3; ++k) {
            const std::string handle = Text(threads[k].handle);
            EXPECT_NE(0.0, resultTable.value(k)) << c.name << ": processor " << k;
            expected.push_back("create " + handle + (grouped ? " stack 262144" : " stack 0"));
            expected.push_back("bind " + handle + (grouped ? places[k - 1] : " " + std::to_string(1 << (k - 1))));
            expected.push_back("resume " + handle);
            expected.push_back("wait " + handle + " " + std::to_string(k) + " running");
            expected.push_back("close " + handle);
        }
        expected.push_back("kill timer 1000");
        expected.push_back("set timer 1000 500");
        EXPECT_EQ(expected, calls) << c.name;
        calls.clear();
        std::vector<std::string>().swap(expected);
        EXPECT_EQ(1, mostBusyWorkers) << c.name;
        const OneByOneProgress progress = oneByOneProgress();
        EXPECT_FALSE(progress.running) << c.name;
        EXPECT_EQ(3, progress.done) << c.name;
        EXPECT_EQ(before, LiveAllocations()) << c.name << ": nothing kept";
    }
}

TEST_F(ProcessorWorkersTest, ASecondTestLeavesEntriesAboveItsCountAlone)
{
    processorCount = 4;
    startProcessorWorkers(Dialog);
    runWorkers(0, 4);
    resultTable.store(4, 4444.0);
    threads.clear();
    processorCount = 2;
    startProcessorWorkers(Dialog);
    runWorkers(0, 2);
    EXPECT_EQ(2, resultTable.count());
    EXPECT_EQ(4444.0, resultTable.value(4));
    EXPECT_EQ(777.0, resultTable.value(5));
}

TEST_F(ProcessorWorkersTest, AWorkerWhoseBindingIsRefusedStillRuns)
{
    processorCount = 2;
    affinityResult = 0;
    startProcessorWorkers(Dialog);
    ASSERT_EQ(2u, threads.size());
    EXPECT_EQ("resume " + Text(threads[1].handle), calls[calls.size() - 2]);
}

TEST_F(ProcessorWorkersTest, TheRecordsAreFreedWhenTheLastWorkerHasFinishedWithThem)
{
    processorCount = 4;
    long before = LiveAllocations();
    startProcessorWorkers(Dialog);
    calls.clear();
    EXPECT_LT(before, LiveAllocations()) << "the records outlive the start";
    runWorkers(0, 3);
    calls.clear();
    EXPECT_LT(before, LiveAllocations()) << "worker 4 still needs its record";
    runWorkers(3, 4);
    calls.clear();
    EXPECT_EQ(before, LiveAllocations());
}

TEST_F(ProcessorWorkersTest, WithNoWorkerRunningTheStartArmsTheTimerItself)
{
    struct Case {
        const char* name;
        DWORD processors;
        bool threadsFail;
        LONG count;
    } cases[] = {
        {"no thread can be created", 3, true, 3},
        {"no processor reported", 0, false, 0},
    };
    for (const Case& c : cases) {
        calls.clear();
        processorCount = c.processors;
        threadsFail = c.threadsFail;
        long before = LiveAllocations();
        startProcessorWorkers(Dialog);
        EXPECT_EQ(c.count, resultTable.count()) << c.name;
        ASSERT_LE(2u, calls.size()) << c.name;
        EXPECT_EQ("kill timer 1000", calls[calls.size() - 2]) << c.name;
        EXPECT_EQ("set timer 1000 500", calls.back()) << c.name;
        calls.clear();
        EXPECT_EQ(before, LiveAllocations()) << c.name << ": nothing kept";
    }
}

TEST(ResultTableTest, EntriesOutsideTheTableAreNeitherStoredNorRead)
{
    ResultTable table;
    table.store(0, 1.0);
    table.store(2049, 1.0);
    table.store(-1, 1.0);
    table.store(2048, 3000.5);
    EXPECT_EQ(0.0, table.value(0));
    EXPECT_EQ(0.0, table.value(2049));
    EXPECT_EQ(0.0, table.value(-1));
    EXPECT_EQ(3000.5, table.value(2048));
    table.storeCoreClock(0, 1.0);
    table.storeCoreClock(2049, 1.0);
    table.storeCoreClock(2048, 4100.5);
    EXPECT_EQ(0.0, table.coreClock(0));
    EXPECT_EQ(0.0, table.coreClock(2049));
    EXPECT_EQ(4100.5, table.coreClock(2048)) << "beside the time-stamp figure";
    EXPECT_EQ(3000.5, table.value(2048));
    const LONG counts[][2] = {{-5, 0}, {0, 0}, {2, 2}, {2048, 2048}, {2049, 2048}, {100000, 2048}};
    for (const auto& c : counts) {
        table.setCount(c[0]);
        EXPECT_EQ(c[1], table.count()) << "count set to " << c[0];
    }
}

} // namespace
