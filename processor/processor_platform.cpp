#include "processor/processor_platform.h"

#include "processor/processor_instructions.h"

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

ProcessorPlatform::ProcessorPlatform()
    : GetActiveProcessorGroupCount(KernelEntry<GetActiveProcessorGroupCountProc>("GetActiveProcessorGroupCount")),
      GetActiveProcessorCount(KernelEntry<GetActiveProcessorCountProc>("GetActiveProcessorCount")),
      SetThreadGroupAffinity(KernelEntry<SetThreadGroupAffinityProc>("SetThreadGroupAffinity")),
      GetLogicalProcessorInformationEx(
          KernelEntry<GetLogicalProcessorInformationExProc>("GetLogicalProcessorInformationEx")),
      IsWow64Process2(KernelEntry<IsWow64Process2Proc>("IsWow64Process2")),
      ReadProcessorSignature(::ReadProcessorSignature),
      ReadCpuidLeaf(::ReadCpuidLeaf)
{
}

ProcessorPlatform& processorPlatform()
{
    static ProcessorPlatform platform;
    return platform;
}
