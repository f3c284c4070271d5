#include "processor/processor_groups.h"

#include <stddef.h>
#include <stdlib.h>

#include "processor/processor_platform.h"

namespace {

const LONG MaskBits = sizeof(KAFFINITY) * 8;

} // namespace

LONG ListGroupProcessors(ProcessorPlace* places, LONG room)
{
    const ProcessorPlatform& platform = processorPlatform();
    if (platform.GetActiveProcessorGroupCount == nullptr || platform.GetActiveProcessorCount == nullptr
        || platform.SetThreadGroupAffinity == nullptr)
        return 0;

    // The system's record of the groups, with the active masks of as many as the memory it
    // filled holds.
    DWORD length = 0;
    SYSTEM_LOGICAL_PROCESSOR_INFORMATION_EX* info = ReadProcessorRecords(RelationGroup, length);
    if (info == nullptr || info->Relationship != RelationGroup)
        length = 0;
    LONG listed = 0;
    const WORD groups = platform.GetActiveProcessorGroupCount();
    for (WORD group = 0; group < groups && listed < room; ++group) {
        KAFFINITY active;
        if (offsetof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION_EX, Group.GroupInfo) + (group + 1) * sizeof(PROCESSOR_GROUP_INFO)
                <= length
            && group < info->Group.ActiveGroupCount) {
            active = info->Group.GroupInfo[group].ActiveProcessorMask;
        } else {
            const DWORD processors = platform.GetActiveProcessorCount(group);
            active = processors < static_cast<DWORD>(MaskBits) ? (static_cast<KAFFINITY>(1) << processors) - 1
                                                               : ~static_cast<KAFFINITY>(0);
        }
        for (KAFFINITY one = 1; one != 0 && listed < room; one <<= 1) {
            if ((active & one) == 0)
                continue;
            if (places != nullptr) {
                places[listed].group = group;
                places[listed].mask = one;
            }
            ++listed;
        }
    }
    free(info);
    return listed;
}

SYSTEM_LOGICAL_PROCESSOR_INFORMATION_EX* ReadProcessorRecords(LOGICAL_PROCESSOR_RELATIONSHIP relationship,
                                                              DWORD& length)
{
    const ProcessorPlatform& platform = processorPlatform();
    length = 0;
    if (platform.GetLogicalProcessorInformationEx == nullptr)
        return nullptr;
    platform.GetLogicalProcessorInformationEx(relationship, nullptr, &length);
    if (length == 0)
        return nullptr;
    auto* records = static_cast<SYSTEM_LOGICAL_PROCESSOR_INFORMATION_EX*>(malloc(length));
    if (records != nullptr && !platform.GetLogicalProcessorInformationEx(relationship, records, &length)) {
        free(records);
        return nullptr;
    }
    return records;
}

LONG ListMeasuredProcessors(ProcessorPlace* places, LONG room)
{
    const LONG grouped = ListGroupProcessors(places, room);
    if (grouped > 0)
        return grouped;
    LONG processors = MaskProcessorCount();
    if (processors > room)
        processors = room;
    for (LONG k = 0; k < processors; ++k) {
        places[k].group = 0;
        places[k].mask = static_cast<KAFFINITY>(1) << k;
    }
    return processors > 0 ? processors : 0;
}

LONG MaskProcessorCount()
{
    SYSTEM_INFO system;
    ZeroMemory(&system, sizeof system);
    processorPlatform().GetSystemInfo(&system);
    const LONG processors = static_cast<LONG>(system.dwNumberOfProcessors);
    return processors > MaskBits ? MaskBits : processors;
}

void BindThreadToPlace(HANDLE thread, const ProcessorPlace& place, bool byGroup)
{
    if (byGroup) {
        GROUP_AFFINITY affinity;
        ZeroMemory(&affinity, sizeof affinity);
        affinity.Group = place.group;
        affinity.Mask = place.mask;
        processorPlatform().SetThreadGroupAffinity(thread, &affinity, nullptr);
    } else {
        processorPlatform().SetThreadAffinityMask(thread, place.mask);
    }
}
