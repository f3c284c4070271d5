#include "measure/history/history_record.h"

#include <new>

#include "measure/history/history_schedule.h"

HistoryRecord::HistoryRecord() : times(nullptr), values(nullptr), width(0), capacity(0), first(0), used(0)
{
    InitializeCriticalSection(&guard);
}

HistoryRecord::~HistoryRecord()
{
    close();
    DeleteCriticalSection(&guard);
}

bool HistoryRecord::open(LONG processors, LONG rows)
{
    close();
    if (processors < 1 || rows < 1)
        return false;
    times = new (std::nothrow) DWORD[rows];
    values = new (std::nothrow) float[static_cast<SIZE_T>(rows) * processors];
    if (times == nullptr || values == nullptr) {
        close();
        return false;
    }
    width = processors;
    capacity = rows;
    return true;
}

void HistoryRecord::close()
{
    delete[] times;
    delete[] values;
    times = nullptr;
    values = nullptr;
    width = capacity = first = used = 0;
}

void HistoryRecord::beginRow(DWORD timeMs)
{
    if (capacity == 0)
        return;
    if (used == capacity)
        first = (first + 1) % capacity;
    else
        ++used;
    const LONG newest = slot(used - 1);
    times[newest] = timeMs;
    float* row = values + static_cast<SIZE_T>(newest) * width;
    for (LONG k = 0; k < width; ++k)
        row[k] = 0.0f;
}

void HistoryRecord::store(LONG processor, float mhz)
{
    if (used == 0 || processor < 0 || processor >= width)
        return;
    values[static_cast<SIZE_T>(slot(used - 1)) * width + processor] = mhz;
}

LONG HistoryRowsForAnHour(LONG processors)
{
    return static_cast<LONG>(3600000 / HistoryRoundPeriodMs(processors, 2)) + 1;
}
