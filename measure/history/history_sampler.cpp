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
// resolution no longer shows.
const double RateSpanSeconds = 2.0;

LONGLONG ReadCounter()
{
    LARGE_INTEGER now;
    now.QuadPart = 0;
    measurePlatform().QueryPerformanceCounter(&now);
    return now.QuadPart;
}

} // namespace

HistorySampler::HistorySampler()
    : record(nullptr), thread(nullptr), stopEvent(nullptr), places(nullptr), classList(nullptr), count(0),
      byGroup(false), schedule(), openedMs(0), roundCostMs(0.0), roundMeasured(0), firstStamp(0), firstCounter(0),
      counterFrequency(0), pausedFlag(false), rateKhz(0), period(HistoryRoundMs)
{
}

HistorySampler::~HistorySampler()
{
    stop();
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
    roundCostMs = 0.0;
    roundMeasured = 0;
    firstCounter = 0;
    LARGE_INTEGER frequency;
    counterFrequency = measurePlatform().QueryPerformanceFrequency(&frequency) ? frequency.QuadPart : 0;
    rateKhz.store(0);
    pausedFlag.store(false);
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
    const HistoryStep step = NextHistoryStep(schedule, GetTickCount(), pausedFlag.load());
    if (!step.measure)
        return step.waitMs;
    if (step.newRound) {
        // The last round's cost sets this one's length.
        if (roundMeasured > 0)
            schedule.periodMs = HistoryRoundPeriodMs(count, static_cast<DWORD>(roundCostMs / roundMeasured + 1.0));
        period.store(schedule.periodMs);
        roundCostMs = 0.0;
        roundMeasured = 0;
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
    if (counterFrequency > 0) {
        roundCostMs += (after - before) * 1000.0 / counterFrequency;
        ++roundMeasured;
    }
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
    if (firstCounter == 0) {
        firstCounter = counter;
        firstStamp = stamp;
        return;
    }
    const double seconds = static_cast<double>(counter - firstCounter) / counterFrequency;
    if (seconds >= RateSpanSeconds)
        rateKhz.store(static_cast<LONG>(static_cast<double>(stamp - firstStamp) / seconds * 1e-3));
}
