#include "measure/time_stamp_rate.h"

#include "measure/bracketed_reading.h"
#include "measure/fault_guard.h"
#include "measure/measure_platform.h"
#include "measure/multiply_divide.h"
#include "measure/spin_wait.h"

namespace {

// What the busy-waits came to: the cycles counted and the ticks that passed between the
// readings around each, summed over the repetitions.
struct TimedWaits {
    DWORD repetitions;
    DWORD windowMs;
    LONGLONG frequency;
    ULONGLONG cycles;
    LONGLONG ticks;
};

unsigned long long ReadTimeStampOnly(void*)
{
    return measurePlatform().ReadTimeStamp();
}

// Runs inside the guarded region.
void TimeWaits(void* context)
{
    TimedWaits* waits = static_cast<TimedWaits*>(context);
    for (DWORD i = 0; i < waits->repetitions; ++i) {
        const BracketedReading start = ReadBracketed(ReadTimeStampOnly, nullptr, waits->frequency);
        SpinWait(static_cast<int>(waits->windowMs));
        const BracketedReading end = ReadBracketed(ReadTimeStampOnly, nullptr, waits->frequency);
        waits->cycles += end.cycles - start.cycles;
        waits->ticks += TicksBetween(start, end);
    }
}

} // namespace

double MeasureTimeStampMhz(DWORD repetitions, DWORD windowMs)
{
    if (repetitions == 0 || windowMs == 0)
        return 0.0;
    LARGE_INTEGER frequency;
    if (!measurePlatform().QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0)
        return 0.0;
    TimedWaits waits = {repetitions, windowMs, frequency.QuadPart, 0, 0};
    if (!CallGuarded(TimeWaits, &waits))
        return 0.0;
    if (static_cast<LONGLONG>(waits.cycles) <= 0 || waits.ticks <= 0)
        return 0.0;
    // cycles / (ticks / frequency) seconds, in kilohertz.
    const ULONGLONG kilohertz = MultiplyDivide(waits.cycles, static_cast<ULONGLONG>(waits.frequency),
                                               static_cast<ULONGLONG>(waits.ticks) * 1000);
    return static_cast<double>(static_cast<LONGLONG>(kilohertz)) * 0.001;
}
