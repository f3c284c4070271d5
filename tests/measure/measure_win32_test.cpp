#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "allocation_count.h"
#include "fake_measure_platform.h"
#include "legacy_platform_probe.h"
#include "measure/bracketed_reading.h"
#include "measure/core_clock.h"
#include "measure/cycle_counter.h"
#include "measure/frequency_estimator.h"
#include "measure/measure_platform.h"
#include "measure/processor_workers.h"
#include "measure/result_table.h"
#include "measure/spin_wait.h"
#include "measure/test_parameters.h"
#include "processor/efficiency_classes.h"
#include "processor/processor_groups.h"
#include "processor/rated_clocks.h"
#include "support/bounded_wait.h"
#include "support/wine_settings.h"

namespace {

DWORD ProcessorCount()
{
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    return system.dwNumberOfProcessors;
}

// The workers of one test: one per processor the system reports, as far as an affinity mask
// can name them (a machine of one processor group).
LONG WorkerCount()
{
    const DWORD processors = ProcessorCount();
    const DWORD maskBits = sizeof(DWORD_PTR) * 8;
    return static_cast<LONG>(processors < maskBits ? processors : maskBits);
}

// Whether the system lets a thread of this process be bound to the processor with this bit of
// the affinity mask: a process may be limited to some processors, and a mask as wide as a
// pointer cannot name the processors beyond it.
bool CanBindTo(DWORD_PTR mask)
{
    DWORD_PTR processMask = 0;
    DWORD_PTR systemMask = 0;
    if (!GetProcessAffinityMask(GetCurrentProcess(), &processMask, &systemMask))
        return false;
    return (processMask & mask) != 0;
}

TEST(CycleCounterOnThisMachineTest, TheCounterIsFoundAndAdvances)
{
    CycleCounter counter;
    EXPECT_EQ(1, DetectionDone);
    EXPECT_EQ(1, CounterPresent) << "x64 reports processor type 8664, which has the counter";
    EXPECT_EQ(1, NtPlatform);
    EXPECT_EQ(0, InterruptMaskPermitted) << "never masked on the NT family";
    counter.sample();
    unsigned long long first = counter.count();
    counter.sample();
    EXPECT_GT(counter.count(), first);
}

unsigned long long ReadTimeStampOnly(void*)
{
    return measurePlatform().ReadTimeStamp();
}

// The time-stamp counter's rate in MHz across a wait of the given length, from readings
// bracketed by the performance counter.
double TimeStampMhzAcross(int milliseconds)
{
    LARGE_INTEGER frequency;
    if (!QueryPerformanceFrequency(&frequency))
        return 0.0;
    const BracketedReading start = ReadBracketed(ReadTimeStampOnly, nullptr, frequency.QuadPart);
    SpinWait(milliseconds);
    const BracketedReading end = ReadBracketed(ReadTimeStampOnly, nullptr, frequency.QuadPart);
    EXPECT_LE(start.before, start.after);
    EXPECT_GE(TicksBetween(start, end), milliseconds * (frequency.QuadPart / 1000))
        << milliseconds << " ms passed";
    return static_cast<double>(end.cycles - start.cycles) * static_cast<double>(frequency.QuadPart)
           / static_cast<double>(TicksBetween(start, end)) * 1e-6;
}

TEST(CycleCounterOnThisMachineTest, BracketedReadingsAroundAWaitAndAnEstimate)
{
    const double mhz = TimeStampMhzAcross(5);
    EXPECT_GT(mhz, 100.0) << "above 100 MHz";
    EXPECT_LT(mhz, 100000.0) << "below 100 GHz";
    double mean = 0.0;
    double deviation = 1.0;
    EXPECT_EQ(1, EstimateFrequency(mean, deviation, 10, 1));
    EXPECT_LT(std::fabs(mean * 1e-6 - mhz) / mhz, 0.02) << "the estimate agrees with the bracketed readings within 2%";
}

// A top-level window with a "Test" button (control 1) standing in for the main dialog; its
// procedure notes on which thread each DisplayTimer message arrives.
struct TimerLog {
    int arrivals = 0;
    DWORD thread = 0;
};
TimerLog timerLog;

LRESULT CALLBACK StandInProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER && wParam == DisplayTimer) {
        KillTimer(window, DisplayTimer);
        ++timerLog.arrivals;
        timerLog.thread = GetCurrentThreadId();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class StandInDialog {
public:
    StandInDialog()
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = StandInProcedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "MeasureStandInDialog";
        RegisterClassA(&windowClass);
        window = CreateWindowExA(0, "MeasureStandInDialog", "", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                 nullptr, nullptr, windowClass.hInstance, nullptr);
        button = CreateWindowExA(0, "BUTTON", "Test", WS_CHILD | WS_VISIBLE, 0, 0, 80, 24, window,
                                 reinterpret_cast<HMENU>(1), windowClass.hInstance, nullptr);
    }
    ~StandInDialog() { DestroyWindow(window); }

    HWND window;
    HWND button;
};

class WorkersOnThisMachineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedWindow_ = MeasureWindowMs;
        savedRepeat_ = RepeatCount;
    }
    void TearDown() override
    {
        MeasureWindowMs = savedWindow_;
        RepeatCount = savedRepeat_;
    }

    MeasurePlatformScope scope_;
    LONG savedWindow_;
    LONG savedRepeat_;
};

// One binding the start asked for: the group (0 for a plain affinity mask), the mask, and
// whether the system accepted it.
struct Binding {
    WORD group;
    DWORD_PTR mask;
    bool accepted;
};
std::vector<Binding> bindings;
SetThreadGroupAffinityProc systemSetThreadGroupAffinity;

DWORD_PTR WINAPI RecordedSetThreadAffinityMask(HANDLE thread, DWORD_PTR mask)
{
    DWORD_PTR previous = SetThreadAffinityMask(thread, mask);
    bindings.push_back({0, mask, previous != 0});
    return previous;
}

BOOL WINAPI RecordedSetThreadGroupAffinity(HANDLE thread, const GROUP_AFFINITY* affinity, PGROUP_AFFINITY previous)
{
    BOOL accepted = systemSetThreadGroupAffinity(thread, affinity, previous);
    bindings.push_back({affinity->Group, affinity->Mask, accepted != FALSE});
    return accepted;
}

bool AllEntriesWritten(LONG count, double sentinel)
{
    for (LONG k = 1; k <= count; ++k) {
        if (resultTable.value(k) == sentinel)
            return false;
    }
    return true;
}

TEST_F(WorkersOnThisMachineTest, BoundWorkersFillTheTableAndTheTimerArrivesOnTheWindowsThread)
{
    StandInDialog dialog;
    ASSERT_NE(nullptr, dialog.button);
    const double sentinel = -12345.0;
    const LONG workers = WorkerCount();
    for (LONG k = 1; k <= workers; ++k)
        resultTable.store(k, sentinel);
    bindings.clear();
    // Whichever way this system binds: with processor groups where it reports them, else with
    // plain affinity masks.
    processorPlatform().SetThreadAffinityMask = RecordedSetThreadAffinityMask;
    systemSetThreadGroupAffinity = processorPlatform().SetThreadGroupAffinity;
    if (systemSetThreadGroupAffinity != nullptr)
        processorPlatform().SetThreadGroupAffinity = RecordedSetThreadGroupAffinity;
    MeasureWindowMs = 50;
    RepeatCount = 2;
    timerLog = TimerLog();

    startProcessorWorkers(dialog.window);
    EXPECT_FALSE(IsWindowEnabled(dialog.button)) << "Test is disabled at the start";
    EXPECT_EQ(workers, resultTable.count());
    // A timer message after which every entry is written; the timer may fire in between if the
    // workers end far apart.
    ASSERT_TRUE(pumpUntil([&] { return timerLog.arrivals > 0 && AllEntriesWritten(workers, sentinel); },
                          "a display timer message after every worker stored its result", 60000));
    EXPECT_EQ(GetCurrentThreadId(), timerLog.thread);
    // Every worker is bound before it runs, by this thread or by a starter thread of the
    // start's own, so every binding is known once every entry is written.
    ASSERT_EQ(static_cast<size_t>(workers), bindings.size());
    for (size_t i = 0; i < bindings.size(); ++i) {
        EXPECT_EQ(0, bindings[i].group) << "processor " << i + 1 << " of a machine of one group";
        EXPECT_EQ(static_cast<DWORD_PTR>(1) << i, bindings[i].mask) << "processor " << i + 1;
        EXPECT_EQ(CanBindTo(bindings[i].mask), bindings[i].accepted)
            << "the system's answer to the binding of processor " << i + 1;
    }
    for (LONG k = 1; k <= workers; ++k) {
        double mhz = resultTable.value(k);
        EXPECT_GT(mhz, 100.0) << "processor " << k;
        EXPECT_LT(mhz, 100000.0) << "processor " << k;
        EXPECT_NEAR(std::round(mhz * 1000.0), mhz * 1000.0, 1e-6) << "whole kilohertz, processor " << k;
        EXPECT_GT(resultTable.coreClock(k), mhz / 10.0) << "a core clock, processor " << k;
        EXPECT_LT(resultTable.coreClock(k), 100000.0) << "processor " << k;
    }
}

// The first of up to eight measurements that agrees with the one before it within the given
// share, or the last where none does: the host of a virtual machine changes the cores' clock
// from one moment to the next, by up to 8% within a second on a busy host.
double AgreeingMeasurement(double timeStampMhz, double reference, double share, bool& agreed)
{
    double measured = 0.0;
    agreed = false;
    for (int attempt = 0; attempt < 8 && !agreed; ++attempt) {
        measured = MeasureCoreClock(timeStampMhz);
        agreed = std::fabs(measured - reference) <= share * reference;
        if (timeStampMhz > 0.0)
            reference = measured;
    }
    return measured;
}

// Two measurements in a row agree loosely here, and the benchmark holds the tight figure. The
// performance counter's windows are longer, made for a counter of 1.19 MHz where no
// time-stamp counter exists, and so more often interrupted here: it only has to give the same
// clock roughly.
TEST(CoreClockOnThisMachineTest, TwoMeasurementsInARowAgreeOnEitherTimeBase)
{
    ProcessorSignature signature = {};
    ASSERT_TRUE(ReadProcessorSignature(&signature)) << "every processor Wine runs on has CPUID";
    EXPECT_GE(signature.family, 5u);

    // Bound to one processor, as a worker is, with the counter's rate measured there.
    DWORD_PTR processMask = 0;
    DWORD_PTR systemMask = 0;
    ASSERT_TRUE(GetProcessAffinityMask(GetCurrentProcess(), &processMask, &systemMask));
    const DWORD_PTR previous = SetThreadAffinityMask(GetCurrentThread(), processMask & (~processMask + 1));
    ASSERT_NE(0u, previous);
    const double timeStampMhz = TimeStampMhzAcross(10);
    const double first = MeasureCoreClock(timeStampMhz);
    bool inARow = false;
    const double agreeing = AgreeingMeasurement(timeStampMhz, first, 0.02, inARow);
    bool roughly = false;
    const double byPerformanceCounter = AgreeingMeasurement(0.0, agreeing, 0.1, roughly);
    SetThreadAffinityMask(GetCurrentThread(), previous);

    EXPECT_GT(first, timeStampMhz / 10.0) << "time-stamp counter at " << timeStampMhz << " MHz";
    EXPECT_TRUE(inARow) << "no two in a row within 2%; the last " << agreeing;
    EXPECT_TRUE(roughly) << "by the performance counter " << byPerformanceCounter << ", by the time-stamp counter "
                         << agreeing;
}

// The thread handles the start was given, and those it closed, in order. Where the system
// has processor groups a starter thread creates the workers, so the records are kept under a
// lock.
CRITICAL_SECTION recordLock;
std::vector<HANDLE> createdThreads;
std::vector<HANDLE> closedHandles;
// Duplicates kept to wait for the threads.
std::vector<HANDLE> startedThreads;

HANDLE WINAPI KeptCreateThread(LPSECURITY_ATTRIBUTES security, SIZE_T stack, LPTHREAD_START_ROUTINE routine,
                               LPVOID parameter, DWORD flags, LPDWORD id)
{
    HANDLE thread = CreateThread(security, stack, routine, parameter, flags, id);
    HANDLE kept = nullptr;
    EnterCriticalSection(&recordLock);
    if (thread != nullptr) {
        createdThreads.push_back(thread);
        DuplicateHandle(GetCurrentProcess(), thread, GetCurrentProcess(), &kept, SYNCHRONIZE, FALSE, 0);
    }
    if (kept != nullptr)
        startedThreads.push_back(kept);
    LeaveCriticalSection(&recordLock);
    return thread;
}

// Whether every thread ended within a minute; a wait takes at most 64 handles at once.
bool AllEnded(const std::vector<HANDLE>& threads)
{
    for (size_t from = 0; from < threads.size(); from += MAXIMUM_WAIT_OBJECTS) {
        const size_t count = threads.size() - from < MAXIMUM_WAIT_OBJECTS ? threads.size() - from
                                                                          : MAXIMUM_WAIT_OBJECTS;
        if (WaitForMultipleObjects(static_cast<DWORD>(count), threads.data() + from, TRUE, 60000)
            != WAIT_OBJECT_0)
            return false;
    }
    return true;
}

BOOL WINAPI RecordedCloseHandle(HANDLE handle)
{
    EnterCriticalSection(&recordLock);
    closedHandles.push_back(handle);
    LeaveCriticalSection(&recordLock);
    return CloseHandle(handle);
}

// Whether every thread of one start has been created and its handle closed: the workers and,
// where the system has processor groups, their starter.
bool StartDone(size_t threads)
{
    EnterCriticalSection(&recordLock);
    bool done = createdThreads.size() == threads && closedHandles.size() == threads;
    LeaveCriticalSection(&recordLock);
    return done;
}

// The process's handle count is not kept everywhere (Wine always reports 0), so the handles are
// followed one by one: each thread handle the start is given is closed by it.
TEST_F(WorkersOnThisMachineTest, AHundredTestsLeaveNoMemoryAndNoHandleBehind)
{
    StandInDialog dialog;
    measurePlatform().CreateThread = KeptCreateThread;
    measurePlatform().CloseHandle = RecordedCloseHandle;
    MeasureWindowMs = 1;
    RepeatCount = 1;
    InitializeCriticalSection(&recordLock);
    const bool grouped = ListGroupProcessors(nullptr, ResultTable::LastProcessor) > 0;
    const size_t threadsPerStart = WorkerCount() + (grouped ? 1 : 0);
    // Reserved up front, so that recording allocates nothing the count below would see.
    createdThreads.reserve(threadsPerStart);
    closedHandles.reserve(threadsPerStart);
    startedThreads.reserve(threadsPerStart);
    long allocationsBefore = LiveAllocations();

    int workersSeen = 0;
    int handlesLeftOpen = 0;
    for (int round = 0; round < 100; ++round) {
        createdThreads.clear();
        closedHandles.clear();
        startedThreads.clear();
        startProcessorWorkers(dialog.window);
        if (!waitUntil([&] { return StartDone(threadsPerStart); },
                       "every thread of the start created and its handle closed", 60000))
            break;
        workersSeen += static_cast<int>(startedThreads.size() - (grouped ? 1 : 0));
        handlesLeftOpen += static_cast<int>(createdThreads.size()) - static_cast<int>(closedHandles.size());
        // The starter closes its workers' handles while the dialog thread closes the starter's,
        // so the two lists agree as sets, not in order.
        std::sort(createdThreads.begin(), createdThreads.end());
        std::sort(closedHandles.begin(), closedHandles.end());
        for (size_t i = 0; i < createdThreads.size() && i < closedHandles.size(); ++i)
            handlesLeftOpen += createdThreads[i] != closedHandles[i];
        if (!AllEnded(startedThreads))
            break;
        for (HANDLE thread : startedThreads)
            CloseHandle(thread);
    }

    long allocationsAfter = LiveAllocations();
    EXPECT_EQ(100 * WorkerCount(), workersSeen);
    EXPECT_EQ(allocationsBefore, allocationsAfter);
    EXPECT_EQ(0, handlesLeftOpen);
    KillTimer(dialog.window, DisplayTimer);
    DeleteCriticalSection(&recordLock);
}

// Runs the probe program beside this one and returns its exit code.
DWORD RunProbe()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string probe(path, length);
    probe = probe.substr(0, probe.find_last_of('\\') + 1) + "measure_legacy_probe.exe";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::vector<char> commandLine(probe.begin(), probe.end());
    commandLine.push_back('\0');
    if (!CreateProcessA(probe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return 0xFFFFFFFF;
    DWORD exitCode = 0xFFFFFFFE;
    if (WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return exitCode;
}

TEST(LegacyPlatformTest, ReportedAsWindows98TheCounterIsReadUnmaskedWithoutACrash)
{
    if (!runningUnderWine())
        GTEST_SKIP() << "only Wine can be told to report Windows 98 to one program";
    // A run that ended early may have left the setting behind.
    ASSERT_TRUE(setWineVersionFor("measure_legacy_probe.exe", nullptr));
    const DWORD working = LegacyProbeRan | LegacyProbeCounterPresent | LegacyProbeSamplesAdvance
                          | LegacyProbeEstimated;
    EXPECT_EQ(working | LegacyProbeNtPlatform, RunProbe()) << "as itself the system is of the NT family";
    {
        ReportedWindowsVersion win98("measure_legacy_probe.exe", "win98");
        ASSERT_TRUE(win98.written());
        EXPECT_EQ(working, RunProbe())
            << "not NT, masking refused (CLI faults here), samples and the estimate still work";
    }
    EXPECT_EQ(working | LegacyProbeNtPlatform, RunProbe()) << "the setting is gone again";
}

// The nominal clock Windows records, read for real where neither CPUID nor the brand string
// tells one: as Wine wrote it, and another value once a test has written that.
TEST(RatedClocksOnThisMachineTest, TheRegistrysClockWhereNeitherCpuidNorTheBrandStringTellsOne)
{
    MeasurePlatformScope scope;
    installFakeCpuid({});
    HKEY key = nullptr;
    DWORD machine = 0;
    DWORD size = sizeof machine;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0", 0,
                                           KEY_QUERY_VALUE | KEY_SET_VALUE, &key));
    ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "~MHz", nullptr, nullptr, reinterpret_cast<BYTE*>(&machine), &size));
    const ProcessorClasses none;
    EXPECT_EQ(machine, ReadRatedClocks(none, "AMD Ryzen 7 7840U", true).byRank[0].baseMhz);
    const DWORD written = 4321;
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "~MHz", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&written), 4));
    const RatedClock rated = ReadRatedClocks(none, "AMD Ryzen 7 7840U", true).byRank[0];
    RegSetValueExA(key, "~MHz", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&machine), 4);
    RegCloseKey(key);
    EXPECT_EQ(written, rated.baseMhz);
    EXPECT_EQ(RatedByWindows, rated.baseSource);
}

} // namespace
