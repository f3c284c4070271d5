#ifndef ZYK_APP_PUMP_TABLE_H
#define ZYK_APP_PUMP_TABLE_H

#include <windows.h>

class MessagePump;

// Maps thread ids to the pump that runs on each thread. Two parallel arrays
// of exactly count elements, grown and shrunk one element at a time. Thread
// ids are not kept unique: lookup and removal act on the first match in
// index order. The pumps are not owned.
class PumpTable {
public:
    PumpTable();

    // Appends an entry. Returns 1, or 0 when an array cannot grow; the
    // entries are unchanged then.
    int add(DWORD threadId, MessagePump* pump);

    // Removes the first entry of threadId. Returns 1, or 0 when there is
    // none. A shrink that fails keeps the larger block in use.
    int remove(DWORD threadId);

    // The pump of the first entry of threadId, or null.
    MessagePump* find(DWORD threadId) const;

    // Frees both arrays and empties the table.
    void release();

    LONG count() const { return entryCount; }
    const DWORD* threadIds() const { return ids; }
    MessagePump* const* pumps() const { return pumpArray; }

private:
    DWORD* ids;
    MessagePump** pumpArray;
    LONG entryCount;
};

#endif
