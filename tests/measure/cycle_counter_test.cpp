#include <gtest/gtest.h>

#include "fake_measure_platform.h"
#include "measure/cycle_counter.h"

namespace {

DWORD fakeProcessorType;
int systemInfoCalls;

void WINAPI FakeGetSystemInfo(SYSTEM_INFO* system)
{
    ++systemInfoCalls;
    system->dwProcessorType = fakeProcessorType;
}

HMODULE WINAPI FakeGetModuleHandleA(LPCSTR name)
{
    return lstrcmpiA(name, "KERNEL32.DLL") == 0 ? reinterpret_cast<HMODULE>(0x10000) : nullptr;
}

HMODULE WINAPI NoModule(LPCSTR)
{
    return nullptr;
}

DWORD fakePlatformId;
BOOL fakeVersionResult;
DWORD versionSizeSeen;

BOOL WINAPI FakeGetVersionExA(OSVERSIONINFOA* version)
{
    versionSizeSeen = version->dwOSVersionInfoSize;
    version->dwPlatformId = fakePlatformId;
    return fakeVersionResult;
}

FARPROC WINAPI FakeGetProcAddress(HMODULE, LPCSTR name)
{
    if (lstrcmpA(name, "GetVersionExA") == 0)
        return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(FakeGetVersionExA));
    return nullptr;
}

FARPROC WINAPI NoEntry(HMODULE, LPCSTR)
{
    return nullptr;
}

void FaultingInstruction()
{
    RaiseException(STATUS_PRIVILEGED_INSTRUCTION, EXCEPTION_NONCONTINUABLE, 0, nullptr);
}

int maskCalls;
int unmaskCalls;

void CountMask()
{
    fakeClock().log += 'M';
    ++maskCalls;
}

void CountUnmask()
{
    fakeClock().log += 'U';
    ++unmaskCalls;
}

class CycleCounterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        installFakeClock();
        MeasurePlatform& platform = measurePlatform();
        processorPlatform().GetSystemInfo = FakeGetSystemInfo;
        processorPlatform().GetModuleHandleA = FakeGetModuleHandleA;
        processorPlatform().GetProcAddress = FakeGetProcAddress;
        platform.MaskInterrupts = CountMask;
        platform.UnmaskInterrupts = CountUnmask;
        fakeProcessorType = PROCESSOR_INTEL_PENTIUM;
        systemInfoCalls = 0;
        fakePlatformId = VER_PLATFORM_WIN32_NT;
        fakeVersionResult = TRUE;
        maskCalls = 0;
        unmaskCalls = 0;
        DetectionDone = 0;
        CounterPresent = 0;
        NtPlatform = 0;
        InterruptMaskPermitted = 0;
    }

    MeasurePlatformScope scope_;
};

struct PresenceCase {
    const char* name;
    DWORD processorType;
    std::vector<unsigned long long> serialised;
    LONG expected;
    const char* expectedLog; // the counter reads DetectCycleCounter makes
};

TEST_F(CycleCounterTest, DetectCycleCounterJudgesTypeAndTwoSerialisedReadings)
{
    const PresenceCase cases[] = {
        {"486 is never read", PROCESSOR_INTEL_486, {1, 2}, 0, ""},
        {"586 advancing", PROCESSOR_INTEL_PENTIUM, {5, 6}, 1, "TSS"},
        {"x64 reports 8664", 8664, {5, 6}, 1, "TSS"},
        {"equal readings", PROCESSOR_INTEL_PENTIUM, {7, 7}, 0, "TSS"},
        {"going back", PROCESSOR_INTEL_PENTIUM, {8, 7}, 0, "TSS"},
        {"high half larger, low half smaller", PROCESSOR_INTEL_PENTIUM,
         {0x00000001FFFFFFFFULL, 0x0000000200000000ULL}, 1, "TSS"},
        {"high half smaller, low half larger", PROCESSOR_INTEL_PENTIUM,
         {0x0000000200000000ULL, 0x00000001FFFFFFFFULL}, 0, "TSS"},
    };
    for (const PresenceCase& c : cases) {
        installFakeClock();
        fakeProcessorType = c.processorType;
        fakeClock().serialisedReadings = c.serialised;
        EXPECT_EQ(c.expected, DetectCycleCounter()) << c.name;
        EXPECT_EQ(c.expectedLog, fakeClock().log) << c.name;
    }
}

TEST_F(CycleCounterTest, DetectCycleCounterReportsAbsentWhenTheFirstReadFaults)
{
    measurePlatform().ReadTimeStamp = [] {
        FaultingInstruction();
        return 0ULL;
    };
    fakeClock().serialisedReadings = {1, 2};
    EXPECT_EQ(0, DetectCycleCounter());
    EXPECT_EQ(0u, fakeClock().countOf('S')) << "no serialised read after the fault";
}

TEST_F(CycleCounterTest, IsNtPlatformFollowsTheVersionRecord)
{
    struct Case {
        const char* name;
        decltype(&::GetModuleHandleA) module;
        decltype(&::GetProcAddress) entry;
        DWORD platformId;
        BOOL versionResult;
        LONG expected;
    } cases[] = {
        {"NT", FakeGetModuleHandleA, FakeGetProcAddress, VER_PLATFORM_WIN32_NT, TRUE, 1},
        {"Windows 98", FakeGetModuleHandleA, FakeGetProcAddress, VER_PLATFORM_WIN32_WINDOWS, TRUE, 0},
        {"Win32s", FakeGetModuleHandleA, FakeGetProcAddress, VER_PLATFORM_WIN32s, TRUE, 0},
        {"failing GetVersionExA", FakeGetModuleHandleA, FakeGetProcAddress, VER_PLATFORM_WIN32_NT, FALSE, 0},
        {"no GetVersionExA", FakeGetModuleHandleA, NoEntry, VER_PLATFORM_WIN32_WINDOWS, TRUE, 1},
        {"no system library", NoModule, FakeGetProcAddress, VER_PLATFORM_WIN32_NT, TRUE, 0},
    };
    for (const Case& c : cases) {
        processorPlatform().GetModuleHandleA = c.module;
        processorPlatform().GetProcAddress = c.entry;
        fakePlatformId = c.platformId;
        fakeVersionResult = c.versionResult;
        EXPECT_EQ(c.expected, IsNtPlatform()) << c.name;
    }
    processorPlatform().GetModuleHandleA = FakeGetModuleHandleA;
    processorPlatform().GetProcAddress = FakeGetProcAddress;
    versionSizeSeen = 0;
    IsNtPlatform();
    EXPECT_EQ(148u, versionSizeSeen);
}

TEST_F(CycleCounterTest, DetectionsRunOnceAtTheFirstConstruction)
{
    fakeProcessorType = PROCESSOR_INTEL_486; // a negative verdict must not be retried either
    CycleCounter first;
    EXPECT_EQ(1, DetectionDone);
    EXPECT_EQ(0, CounterPresent);
    EXPECT_EQ(1, NtPlatform);
    EXPECT_EQ(1, systemInfoCalls);
    fakeProcessorType = PROCESSOR_INTEL_PENTIUM;
    CycleCounter second;
    EXPECT_EQ(1, systemInfoCalls) << "a second construction repeats no detection";
    EXPECT_EQ(0, CounterPresent);
    EXPECT_EQ(0ULL, second.count());
}

TEST_F(CycleCounterTest, SampleGivesZeroWithoutACounter)
{
    fakeProcessorType = PROCESSOR_INTEL_486;
    CycleCounter counter;
    fakeClock().cycles = 12345;
    counter.sample();
    EXPECT_EQ(0ULL, counter.count());
    EXPECT_EQ(std::string::npos, fakeClock().log.find('S')) << fakeClock().log;
}

TEST_F(CycleCounterTest, SampleKeepsBothHalvesOfTheReading)
{
    DetectionDone = 1;
    CounterPresent = 1;
    NtPlatform = 1;
    CycleCounter counter;
    fakeClock().serialisedReadings = {0x123456789ABCDEF0ULL};
    counter.sample();
    EXPECT_EQ(0x123456789ABCDEF0ULL, counter.count());
    EXPECT_EQ("S", fakeClock().log) << "on NT the read is never bracketed by CLI and STI";
}

TEST_F(CycleCounterTest, OffNtInterruptsAreMaskedOnlyAroundTheRead)
{
    fakePlatformId = VER_PLATFORM_WIN32_WINDOWS;
    fakeClock().serialisedReadings = {1, 2, 42};
    CycleCounter counter;
    EXPECT_EQ(0, NtPlatform);
    EXPECT_EQ(1, InterruptMaskPermitted) << "masking works here, so it is permitted";
    fakeClock().log.clear();
    counter.sample();
    EXPECT_EQ(42ULL, counter.count());
    EXPECT_EQ("MSU", fakeClock().log);
}

TEST_F(CycleCounterTest, OffNtARefusedMaskFallsBackToAnUnmaskedRead)
{
    fakePlatformId = VER_PLATFORM_WIN32_WINDOWS;
    measurePlatform().MaskInterrupts = FaultingInstruction;
    fakeClock().serialisedReadings = {1, 2, 42, 43};
    CycleCounter counter;
    EXPECT_EQ(1, CounterPresent);
    EXPECT_EQ(0, InterruptMaskPermitted) << "the probe's CLI faulted";
    counter.sample();
    EXPECT_EQ(42ULL, counter.count());
    counter.sample();
    EXPECT_EQ(43ULL, counter.count());
    EXPECT_EQ(0, unmaskCalls) << "STI is never run after a refused CLI";
}

TEST_F(CycleCounterTest, OffNtAMaskRefusedAfterTheProbeIsWithdrawn)
{
    fakePlatformId = VER_PLATFORM_WIN32_WINDOWS;
    fakeClock().serialisedReadings = {1, 2, 42, 43};
    CycleCounter counter;
    ASSERT_EQ(1, InterruptMaskPermitted);
    measurePlatform().MaskInterrupts = FaultingInstruction;
    counter.sample();
    EXPECT_EQ(42ULL, counter.count());
    EXPECT_EQ(0, InterruptMaskPermitted);
    fakeClock().log.clear();
    counter.sample();
    EXPECT_EQ(43ULL, counter.count());
    EXPECT_EQ("S", fakeClock().log) << "no further attempt to mask";
}

} // namespace
