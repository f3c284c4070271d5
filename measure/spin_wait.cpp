#include "measure/spin_wait.h"

#include "measure/measure_platform.h"

namespace {

// Ticks per millisecond × milliseconds: the division comes first, so the fraction of a tick
// per millisecond is dropped. The multiplication wraps modulo 2^64 like the hardware's.
LONGLONG TicksToWait(LONGLONG frequency, int milliseconds)
{
    ULONGLONG perMillisecond = static_cast<ULONGLONG>(frequency / 1000);
    return static_cast<LONGLONG>(perMillisecond * static_cast<DWORD>(milliseconds));
}

LONGLONG Elapsed(const LARGE_INTEGER& now, const LARGE_INTEGER& start)
{
    return static_cast<LONGLONG>(static_cast<ULONGLONG>(now.QuadPart) - static_cast<ULONGLONG>(start.QuadPart));
}

} // namespace

void SpinWait(int milliseconds)
{
    LARGE_INTEGER frequency;
    if (!measurePlatform().QueryPerformanceFrequency(&frequency))
        return;
    LONGLONG ticks = TicksToWait(frequency.QuadPart, milliseconds);
    decltype(&::QueryPerformanceCounter) query = measurePlatform().QueryPerformanceCounter;
    LARGE_INTEGER start;
    query(&start);
    LARGE_INTEGER now;
    do {
        query(&now);
    } while (Elapsed(now, start) < ticks);
}
