#include "fake_measure_platform.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "measure/cycle_counter.h"
#include "measure/dependent_chain.h"

MeasurePlatformScope::MeasurePlatformScope()
    : platform_(),
      detectionDone_(DetectionDone),
      counterPresent_(CounterPresent),
      ntPlatform_(NtPlatform),
      interruptMaskPermitted_(InterruptMaskPermitted)
{
}

MeasurePlatformScope::~MeasurePlatformScope()
{
    DetectionDone = detectionDone_;
    CounterPresent = counterPresent_;
    NtPlatform = ntPlatform_;
    InterruptMaskPermitted = interruptMaskPermitted_;
}

size_t FakeClock::countOf(char call) const
{
    return static_cast<size_t>(std::count(log.begin(), log.end(), call));
}

FakeClock& fakeClock()
{
    static FakeClock clock;
    return clock;
}

namespace {

size_t nextCounterReading;
size_t nextTimeStampReading;
size_t nextSerialisedReading;

BOOL WINAPI FakeQueryPerformanceFrequency(LARGE_INTEGER* frequency)
{
    FakeClock& clock = fakeClock();
    clock.log += 'F';
    if (clock.frequencyResult)
        frequency->QuadPart = clock.frequency;
    return clock.frequencyResult;
}

BOOL WINAPI FakeQueryPerformanceCounter(LARGE_INTEGER* now)
{
    FakeClock& clock = fakeClock();
    clock.log += 'C';
    clock.cycles += clock.cyclesPerCounterCall;
    clock.seconds += clock.secondsPerCounterCall;
    if (nextCounterReading < clock.counterReadings.size())
        clock.counter = clock.counterReadings[nextCounterReading++];
    else
        clock.counter = static_cast<LONGLONG>(static_cast<ULONGLONG>(clock.counter) + clock.counterStep);
    const LONGLONG passed = static_cast<LONGLONG>(std::floor(clock.seconds * static_cast<double>(clock.frequency)));
    now->QuadPart = static_cast<LONGLONG>(static_cast<ULONGLONG>(clock.counter) + passed);
    return TRUE;
}

unsigned long long FakeReadTimeStamp()
{
    FakeClock& clock = fakeClock();
    clock.log += 'T';
    if (nextTimeStampReading < clock.timeStampReadings.size())
        return clock.timeStampReadings[nextTimeStampReading++];
    clock.cycles += clock.cyclesPerTimeStampRead;
    return clock.cycles;
}

void FakeChainRun(bool longChain, unsigned passes)
{
    FakeClock& clock = fakeClock();
    clock.log += longChain ? 'L' : 'A';
    const size_t index = longChain ? clock.longRuns++ : clock.shortRuns++;
    const double links = longChain ? LongChainLinks : ShortChainLinks;
    double microseconds = 0.0;
    if (clock.coreMhz > 0.0)
        microseconds = (clock.chainFixedCycles + passes * (clock.chainPassCycles + links * clock.chainCyclesPerLink))
                       / clock.coreMhz;
    if (clock.stretchMicroseconds)
        microseconds += clock.stretchMicroseconds(longChain, index);
    clock.cycles += static_cast<unsigned long long>(std::llround(microseconds * clock.timeStampMhz));
    clock.seconds += microseconds * 1e-6;
}

void FakeRunShortChain(unsigned passes)
{
    FakeChainRun(false, passes);
}

void FakeRunLongChain(unsigned passes)
{
    FakeChainRun(true, passes);
}

bool fakeHasCpuid;
ProcessorSignature fakeSignature;
DWORD fakeProcessorType;

bool FakeReadProcessorSignature(ProcessorSignature* signature)
{
    if (fakeHasCpuid)
        *signature = fakeSignature;
    return fakeHasCpuid;
}

void WINAPI FakeGetSystemInfo(SYSTEM_INFO* system)
{
    system->dwProcessorType = fakeProcessorType;
}

unsigned long long FakeReadSerialisedTimeStamp()
{
    FakeClock& clock = fakeClock();
    clock.log += 'S';
    if (nextSerialisedReading < clock.serialisedReadings.size())
        return clock.serialisedReadings[nextSerialisedReading++];
    return clock.cycles;
}

} // namespace

void installFakeClock()
{
    fakeClock() = FakeClock();
    nextCounterReading = 0;
    nextTimeStampReading = 0;
    nextSerialisedReading = 0;
    MeasurePlatform& platform = measurePlatform();
    platform.QueryPerformanceFrequency = FakeQueryPerformanceFrequency;
    platform.QueryPerformanceCounter = FakeQueryPerformanceCounter;
    platform.ReadTimeStamp = FakeReadTimeStamp;
    platform.ReadSerialisedTimeStamp = FakeReadSerialisedTimeStamp;
    platform.RunShortChain = FakeRunShortChain;
    platform.RunLongChain = FakeRunLongChain;
}

void installFakeProcessor(const ProcessorSignature* signature, DWORD processorType)
{
    fakeHasCpuid = signature != nullptr;
    if (signature != nullptr)
        fakeSignature = *signature;
    fakeProcessorType = processorType;
    processorPlatform().ReadProcessorSignature = FakeReadProcessorSignature;
    processorPlatform().GetSystemInfo = FakeGetSystemInfo;
}

namespace {

std::map<unsigned, CpuidLeaf> fakeLeaves;

bool FakeReadCpuidLeaf(unsigned number, CpuidLeaf* leaf)
{
    if (fakeLeaves.empty())
        return false;
    const auto found = fakeLeaves.find(number);
    *leaf = found != fakeLeaves.end() ? found->second : CpuidLeaf{0, 0, 0, 0};
    return true;
}

} // namespace

void installFakeCpuid(const std::map<unsigned, CpuidLeaf>& leaves)
{
    fakeLeaves = leaves;
    processorPlatform().ReadCpuidLeaf = FakeReadCpuidLeaf;
}

void putCpuidText(std::map<unsigned, CpuidLeaf>& leaves, unsigned first, const char* text, size_t leafCount)
{
    std::vector<char> bytes(leafCount * 16, '\0');
    std::memcpy(bytes.data(), text, std::min(std::strlen(text), bytes.size()));
    for (size_t k = 0; k < leafCount; ++k) {
        unsigned registers[4];
        std::memcpy(registers, bytes.data() + 16 * k, sizeof registers);
        leaves[first + static_cast<unsigned>(k)] = {registers[0], registers[1], registers[2], registers[3]};
    }
}

CpuidLeaf vendorLeaf(unsigned highest, const char* vendor)
{
    unsigned text[3];
    std::memcpy(text, vendor, sizeof text);
    return {highest, text[0], text[2], text[1]};
}
