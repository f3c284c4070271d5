#include "processor/processor_groups.h"

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

    LONG listed = 0;
    const WORD groups = platform.GetActiveProcessorGroupCount();
    for (WORD group = 0; group < groups && listed < room; ++group) {
        DWORD processors = platform.GetActiveProcessorCount(group);
        if (processors > static_cast<DWORD>(MaskBits))
            processors = MaskBits;
        for (DWORD bit = 0; bit < processors && listed < room; ++bit) {
            if (places != nullptr) {
                places[listed].group = group;
                places[listed].mask = static_cast<KAFFINITY>(1) << bit;
            }
            ++listed;
        }
    }
    return listed;
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
