#include "support/fake_processors.h"

#include <string.h>

#include <vector>

#include "measure/result_table.h"
#include "processor/processor_groups.h"

namespace {

const DWORD GroupSize = 64;
DWORD fakeCount;

void WINAPI FakeGetSystemInfo(SYSTEM_INFO* info)
{
    GetSystemInfo(info);
    info->dwNumberOfProcessors = fakeCount;
}

// Reports the mask of all processors as the thread's previous one.
DWORD_PTR WINAPI FakeSetThreadAffinityMask(HANDLE, DWORD_PTR)
{
    return ~static_cast<DWORD_PTR>(0);
}

WORD WINAPI FakeGetActiveProcessorGroupCount()
{
    return static_cast<WORD>((fakeCount + GroupSize - 1) / GroupSize);
}

DWORD WINAPI FakeGetActiveProcessorCount(WORD group)
{
    const DWORD before = group * GroupSize;
    if (before >= fakeCount)
        return 0;
    return fakeCount - before < GroupSize ? fakeCount - before : GroupSize;
}

BOOL WINAPI FakeSetThreadGroupAffinity(HANDLE, const GROUP_AFFINITY*, PGROUP_AFFINITY)
{
    return TRUE;
}

std::vector<BYTE> fakeCores;

BOOL WINAPI FakeGetLogicalProcessorInformationEx(LOGICAL_PROCESSOR_RELATIONSHIP relationship,
                                                 PSYSTEM_LOGICAL_PROCESSOR_INFORMATION_EX buffer, PDWORD length)
{
    if (relationship != RelationProcessorCore || length == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const DWORD needed = static_cast<DWORD>(fakeCores.size());
    if (buffer == nullptr || *length < needed) {
        *length = needed;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    memcpy(buffer, fakeCores.data(), needed);
    *length = needed;
    return TRUE;
}

} // namespace

FakeCoreClasses::FakeCoreClasses(const std::function<BYTE(LONG processor)>& classOf) : platform_()
{
    std::vector<ProcessorPlace> places(ResultTable::LastProcessor);
    const LONG processors = ListMeasuredProcessors(places.data(), ResultTable::LastProcessor);
    fakeCores.clear();
    for (LONG k = 1; k <= processors; ++k) {
        SYSTEM_LOGICAL_PROCESSOR_INFORMATION_EX core;
        ZeroMemory(&core, sizeof core);
        core.Relationship = RelationProcessorCore;
        core.Size = sizeof core;
        core.Processor.Reserved[0] = classOf(k); // EfficiencyClass
        core.Processor.GroupCount = 1;
        core.Processor.GroupMask[0].Group = places[k - 1].group;
        core.Processor.GroupMask[0].Mask = places[k - 1].mask;
        if (k < processors && places[k].group == places[k - 1].group) {
            core.Processor.GroupMask[0].Mask |= places[k].mask;
            ++k;
        }
        const BYTE* bytes = reinterpret_cast<const BYTE*>(&core);
        fakeCores.insert(fakeCores.end(), bytes, bytes + sizeof core);
    }
    processorPlatform().GetLogicalProcessorInformationEx = FakeGetLogicalProcessorInformationEx;
}

FakeProcessors::FakeProcessors(DWORD count) : platform_()
{
    fakeCount = count;
    ProcessorPlatform& platform = processorPlatform();
    platform.GetSystemInfo = FakeGetSystemInfo;
    platform.SetThreadAffinityMask = FakeSetThreadAffinityMask;
    platform.GetActiveProcessorGroupCount = FakeGetActiveProcessorGroupCount;
    platform.GetActiveProcessorCount = FakeGetActiveProcessorCount;
    platform.SetThreadGroupAffinity = FakeSetThreadGroupAffinity;
    // Nothing of the machine's own topology: each group's processors are its first bits.
    platform.GetLogicalProcessorInformationEx = nullptr;
}
