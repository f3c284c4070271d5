#pragma once

#include <windows.h>

// The history's values: one row per round, the round's time in milliseconds since the window
// opened and each processor's core clock in MHz (0 where it was not measured: the round was cut
// short by a test, or the measurement failed). The rows form a ring of a size fixed when it
// opens, so memory stays bounded and the oldest rows give way. The sampler writes while the
// window reads; both hold the lock meanwhile.
class HistoryRecord {
public:
    HistoryRecord();
    ~HistoryRecord();

    // Room for rows rows of processors values each; false, and closed, when there is no memory.
    bool open(LONG processors, LONG rows);
    void close();

    void lock() { EnterCriticalSection(&guard); }
    void unlock() { LeaveCriticalSection(&guard); }

    // Under the lock. A new row, all values 0, replaces the oldest once the ring is full.
    void beginRow(DWORD timeMs);
    // Under the lock: the newest row's value of the 0-based processor.
    void store(LONG processor, float mhz);

    // Under the lock, row 0 being the oldest.
    LONG processors() const { return width; }
    LONG rows() const { return used; }
    DWORD rowTime(LONG row) const { return times[slot(row)]; }
    const float* rowValues(LONG row) const { return values + static_cast<SIZE_T>(slot(row)) * width; }

private:
    HistoryRecord(const HistoryRecord&) = delete;
    HistoryRecord& operator=(const HistoryRecord&) = delete;

    LONG slot(LONG row) const { return (first + row) % capacity; }

    CRITICAL_SECTION guard;
    DWORD* times;
    float* values;
    LONG width;
    LONG capacity;
    LONG first;
    LONG used;
};

// Rows enough for an hour of rounds at the shortest round processors can have, with
// measurements of at least 2 ms.
LONG HistoryRowsForAnHour(LONG processors);
