#include "support/fake_processors.h"

namespace {

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

} // namespace

FakeProcessors::FakeProcessors(DWORD count) : platform_()
{
    fakeCount = count;
    measurePlatform().GetSystemInfo = FakeGetSystemInfo;
    measurePlatform().SetThreadAffinityMask = FakeSetThreadAffinityMask;
}
