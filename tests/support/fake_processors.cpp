#include "support/fake_processors.h"

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

} // namespace

FakeProcessors::FakeProcessors(DWORD count) : platform_()
{
    fakeCount = count;
    MeasurePlatform& platform = measurePlatform();
    platform.GetSystemInfo = FakeGetSystemInfo;
    platform.SetThreadAffinityMask = FakeSetThreadAffinityMask;
    platform.GetActiveProcessorGroupCount = FakeGetActiveProcessorGroupCount;
    platform.GetActiveProcessorCount = FakeGetActiveProcessorCount;
    platform.SetThreadGroupAffinity = FakeSetThreadGroupAffinity;
}
