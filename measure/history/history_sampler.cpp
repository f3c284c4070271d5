#include "measure/history/history_sampler.h"

#include <new>

#include "measure/core_clock.h"
#include "measure/cycle_counter.h"
#include "measure/measure_platform.h"
#include "measure/result_table.h"
#include "processor/efficiency_classes.h"

namespace {

// The thread measures and sleeps; it needs little stack.
const SIZE_T SamplerStackReserve = 64 * 1024;
// The counter's rate is taken over at least this span, where the performance counter's
// resolution no longer shows, and over two intervals at least, that agree.
const double RateSpanSeconds = 2.0;
const LONG RatePairs = 3;
// Beyond it, 100 GHz, a rate is a counter's jump.
const double HighestRateKhz = 1e8;

LONGLONG ReadCounter()
{
    LARGE_INTEGER now;
    now.QuadPart = 0;
    measurePlatform().QueryPerformanceCounter(&now);
    return now.QuadPart;
}

} // namespace

LONG NoteTimeStampPair(TimeStampAnchor& a, LONG rateKhz, LONGLONG counter, unsigned long long stamp,
                       LONGLONG frequency)
{
    // In doubles, exact for either counter's readings over weeks.
    const double ticks = static_cast<double>(counter);
    const double cycles = static_cast<double>(static_cast<long long>(stamp));
    if (a.pairs > 0 && ticks > a.lastCounter) {
        // Cycles a tick over the last interval and since the anchor. A counter that went back
        // gives a negative rate, which agrees with none.
        const double interval = (cycles - a.lastStamp) / (ticks - a.lastCounter);
        const double span = (cycles - a.stamp) / (ticks - a.counter);
        const double spanKhz = span * frequency * 1e-3;
        if (interval > 0.99 * span && interval < 1.01 * span && spanKhz < HighestRateKhz) {
            a.lastCounter = ticks;
            a.lastStamp = cycles;
            if (++a.pairs >= RatePairs && ticks - a.counter >= RateSpanSeconds * frequency)
                return static_cast<LONG>(spanKhz);
            return rateKhz;
        }
        rateKhz = 0;
    }
    a.counter = a.lastCounter = ticks;
    a.stamp = a.lastStamp = cycles;
    a.pairs = 1;
    return rateKhz;
}

HistorySampler::HistorySampler()
    : record(nullptr), thread(nullptr), stopEvent(nullptr), places(nullptr), classList(nullptr), count(0),
      byGroup(false), schedule(), openedMs(0), costs(), anchor(), counterFrequency(0), pausedFlag(false),
      resumedFlag(false), rateKhz(0), period(HistoryRoundMs)
{
    InitializeCriticalSection(&measuring);
}

HistorySampler::~HistorySampler()
{
    stop();
    DeleteCriticalSection(&measuring);
}

void HistorySampler::setPaused(bool paused)
{
    pausedFlag.store(paused);
    // A measurement under way would run beside the test's workers, on one of their processors.
    EnterCriticalSection(&measuring);
    LeaveCriticalSection(&measuring);
}

bool HistorySampler::start(HistoryRecord& target, bool ownThread)
{
    stop();
    // The detections tell whether there is a time-stamp counter to read.
    CycleCounter detections;
    (void)detections;

    LONG listed = ListGroupProcessors(nullptr, ResultTable::LastProcessor);
    byGroup = listed > 0;
    if (!byGroup)
        listed = MaskProcessorCount();
    // The dialog thread's path measures where it runs: one processor.
    if (listed < 1 || !ownThread)
        listed = 1;
    places = new (std::nothrow) ProcessorPlace[listed];
    classList = new (std::nothrow) BYTE[listed];
    if (places == nullptr || classList == nullptr || !target.open(listed, HistoryRowsForAnHour(listed))) {
        stop();
        return false;
    }
    if (byGroup) {
        listed = ListGroupProcessors(places, listed);
    } else {
        for (LONG k = 0; k < listed; ++k) {
            places[k].group = 0;
            places[k].mask = static_cast<KAFFINITY>(1) << k;
        }
    }
    count = listed;
    // Each processor's kind of core, as the rank of its class (1 for the fastest), 0 where the
    // system tells none apart; the sampler lists its processors in the order the workers do.
    ProcessorClasses kinds;
    kinds.read();
    for (LONG k = 0; k < count; ++k)
        classList[k] = static_cast<BYTE>(kinds.rankOf(k + 1));

    record = &target;
    openedMs = GetTickCount();
    StartHistorySchedule(schedule, count, HistoryRoundPeriodMs(count, 0));
    period.store(schedule.periodMs);
    costs.latestMs = costs.beforeMs = 0;
    anchor.pairs = 0;
    LARGE_INTEGER frequency;
    counterFrequency = measurePlatform().QueryPerformanceFrequency(&frequency) ? frequency.QuadPart : 0;
    rateKhz.store(0);
    resumedFlag.store(false);
    // The pause stays as the dialog set it: a window opened during a test measures after it.
    if (!ownThread)
        return true;

    stopEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    DWORD threadId = 0;
    if (stopEvent != nullptr)
        thread = measurePlatform().CreateThread(nullptr, SamplerStackReserve, threadMain, this,
                                                STACK_SIZE_PARAM_IS_A_RESERVATION, &threadId);
    if (thread == nullptr) {
        stop();
        return false;
    }
    return true;
}

void HistorySampler::stop()
{
    if (thread != nullptr) {
        SetEvent(stopEvent);
        WaitForSingleObject(thread, INFINITE);
        measurePlatform().CloseHandle(thread);
        thread = nullptr;
    }
    if (stopEvent != nullptr) {
        CloseHandle(stopEvent);
        stopEvent = nullptr;
    }
    if (record != nullptr) {
        record->lock();
        record->close();
        record->unlock();
        record = nullptr;
    }
    delete[] places;
    delete[] classList;
    places = nullptr;
    classList = nullptr;
    count = 0;
}

DWORD WINAPI HistorySampler::threadMain(LPVOID parameter)
{
    HistorySampler* sampler = static_cast<HistorySampler*>(parameter);
    DWORD waitMs = 0;
    while (WaitForSingleObject(sampler->stopEvent, waitMs) == WAIT_TIMEOUT)
        waitMs = sampler->runDue();
    return 1;
}

DWORD HistorySampler::runDue()
{
    if (record == nullptr)
        return INFINITE;
    EnterCriticalSection(&measuring);
    const DWORD waitMs = measureDue();
    LeaveCriticalSection(&measuring);
    return waitMs;
}

DWORD HistorySampler::measureDue()
{
    const DWORD now = GetTickCount();
    if (resumedFlag.exchange(false)) {
        // The counter may have restarted during the sleep, and the round under way is stale: a
        // row without values breaks every line, and a round starts afresh.
        anchor.pairs = 0;
        StartHistorySchedule(schedule, count, schedule.periodMs);
        record->lock();
        record->beginRow(now - openedMs);
        record->unlock();
    }
    const HistoryStep step = NextHistoryStep(schedule, now, pausedFlag.load());
    if (!step.measure)
        return step.waitMs;
    if (step.newRound) {
        // What measurements usually cost sets this round's length.
        schedule.periodMs = HistoryRoundPeriodMs(count, UsualHistoryCostMs(costs));
        period.store(schedule.periodMs);
        record->lock();
        record->beginRow(schedule.roundStartMs - openedMs);
        record->unlock();
    }
    measure(step.processor);
    return 0;
}

void HistorySampler::bindTo(LONG processor)
{
    // The dialog thread's path stays where it is. The event exists before the thread starts.
    if (stopEvent == nullptr)
        return;
    BindThreadToPlace(GetCurrentThread(), places[processor], byGroup);
}

void HistorySampler::measure(LONG processor)
{
    // Moving to another processor reschedules the thread there at once.
    bindTo(processor);
    const LONGLONG before = ReadCounter();
    // The time-stamp counter is the time base once its rate is known from the readings beside
    // the measurements, over seconds, without a busy-wait; until then, and where there is no
    // counter, the performance counter, with windows long enough for its resolution.
    const double mhz = MeasureCoreClock(timeStampMhz());
    const LONGLONG after = ReadCounter();
    if (counterFrequency > 0)
        NoteHistoryCost(costs, (after - before) * 1000.0 / counterFrequency);
    // The counter's rate from one processor alone, whose counter may be offset from others'.
    if (processor == 0)
        noteTimeStamp();
    record->lock();
    record->store(processor, static_cast<float>(mhz));
    record->unlock();
}

void HistorySampler::noteTimeStamp()
{
    if (CounterPresent == 0 || counterFrequency <= 0)
        return;
    const LONGLONG counter = ReadCounter();
    const unsigned long long stamp = measurePlatform().ReadTimeStamp();
    // A pair the system split by taking the processor away in between would be off by a
    // time slice: it is dropped.
    if ((ReadCounter() - counter) * 10000 > counterFrequency)
        return;
    rateKhz.store(NoteTimeStampPair(anchor, rateKhz.load(), counter, stamp, counterFrequency));
}
