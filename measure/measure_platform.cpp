#include "measure/measure_platform.h"

#include "measure/dependent_chain.h"
#include "measure/processor_instructions.h"

namespace {

// kernel32 is loaded in every process, for as long as it runs.
template <typename Proc>
Proc KernelEntry(const char* name)
{
    HMODULE kernel = ::GetModuleHandleA("KERNEL32.DLL");
    FARPROC entry = kernel != nullptr ? ::GetProcAddress(kernel, name) : nullptr;
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(entry));
}

} // namespace

MeasurePlatform::MeasurePlatform()
    : GetActiveProcessorGroupCount(KernelEntry<GetActiveProcessorGroupCountProc>("GetActiveProcessorGroupCount")),
      GetActiveProcessorCount(KernelEntry<GetActiveProcessorCountProc>("GetActiveProcessorCount")),
      SetThreadGroupAffinity(KernelEntry<SetThreadGroupAffinityProc>("SetThreadGroupAffinity")),
      GetLogicalProcessorInformationEx(
          KernelEntry<GetLogicalProcessorInformationExProc>("GetLogicalProcessorInformationEx")),
      IsWow64Process2(KernelEntry<IsWow64Process2Proc>("IsWow64Process2")),
      ReadTimeStamp(::ReadTimeStamp),
      ReadSerialisedTimeStamp(::ReadSerialisedTimeStamp),
      MaskInterrupts(::MaskInterrupts),
      UnmaskInterrupts(::UnmaskInterrupts),
      ReadProcessorSignature(::ReadProcessorSignature),
      ReadCpuidLeaf(::ReadCpuidLeaf),
      RunShortChain(::RunShortChain),
      RunLongChain(::RunLongChain)
{
}

MeasurePlatform& measurePlatform()
{
    static MeasurePlatform platform;
    return platform;
}
