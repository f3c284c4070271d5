#include "app/pump_table.h"

#include <cstring>

#include "app/app_platform.h"

PumpTable::PumpTable() : ids(nullptr), pumpArray(nullptr), entryCount(0)
{
}

int PumpTable::add(DWORD threadId, MessagePump* pump)
{
    AppPlatform& platform = appPlatform();
    const size_t grown = static_cast<size_t>(entryCount) + 1;

    DWORD* newIds = static_cast<DWORD*>(platform.realloc(ids, grown * sizeof(DWORD)));
    if (newIds == nullptr)
        return 0;
    ids = newIds;

    // Should this resize fail, the id array keeps its larger block; the
    // count is unchanged, so the entries are too.
    MessagePump** newPumps =
        static_cast<MessagePump**>(platform.realloc(pumpArray, grown * sizeof(MessagePump*)));
    if (newPumps == nullptr)
        return 0;
    pumpArray = newPumps;

    ++entryCount;
    ids[entryCount - 1] = threadId;
    pumpArray[entryCount - 1] = pump;
    return 1;
}

int PumpTable::remove(DWORD threadId)
{
    LONG index = 0;
    while (index < entryCount && ids[index] != threadId)
        ++index;
    if (index >= entryCount)
        return 0;

    const LONG following = entryCount - index - 1;
    if (following > 0) {
        std::memmove(&ids[index], &ids[index + 1], following * sizeof(DWORD));
        std::memmove(&pumpArray[index], &pumpArray[index + 1], following * sizeof(MessagePump*));
    }

    AppPlatform& platform = appPlatform();
    const LONG shrunk = entryCount - 1;
    if (shrunk == 0) {
        // realloc to zero bytes may or may not free; free explicitly so that
        // an empty table always has null arrays.
        platform.free(ids);
        platform.free(pumpArray);
        ids = nullptr;
        pumpArray = nullptr;
    } else {
        DWORD* newIds = static_cast<DWORD*>(platform.realloc(ids, shrunk * sizeof(DWORD)));
        if (newIds != nullptr)
            ids = newIds;
        MessagePump** newPumps =
            static_cast<MessagePump**>(platform.realloc(pumpArray, shrunk * sizeof(MessagePump*)));
        if (newPumps != nullptr)
            pumpArray = newPumps;
    }
    entryCount = shrunk;
    return 1;
}

MessagePump* PumpTable::find(DWORD threadId) const
{
    for (LONG index = 0; index < entryCount; ++index) {
        if (ids[index] == threadId)
            return pumpArray[index];
    }
    return nullptr;
}

void PumpTable::release()
{
    AppPlatform& platform = appPlatform();
    platform.free(ids);
    platform.free(pumpArray);
    ids = nullptr;
    pumpArray = nullptr;
    entryCount = 0;
}
