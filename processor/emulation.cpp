#include "processor/emulation.h"

#include <string.h>

#include <atomic>
#include <windows.h>

#include "processor/processor_platform.h"

namespace {

const USHORT MachineArm64 = 0xAA64;
const unsigned HypervisorPresent = 1u << 31; // leaf 1, ecx
const unsigned HypervisorLeaf = 0x40000000u;

// Software emulators by the signature of their hypervisor leaf (ebx, ecx, edx), zero-padded
// to twelve characters. Hardware hypervisors (KVM, Hyper-V, VMware, VirtualBox, Xen) run the
// code on real cores and are not listed.
struct EmulatorSignature {
    char signature[13];
    const char* name;
};
const EmulatorSignature Emulators[] = {
    {"TCGTCGTCGTCG", "QEMU TCG"},
    {"FEXIFEXIEMU", "FEX"},
};

// An x86 or x64 process on Windows on ARM: IsWow64Process2 gives the native machine even
// where the process is no WOW64 process (an emulated x64 one).
bool onArm64()
{
    const ProcessorPlatform& platform = processorPlatform();
    USHORT processMachine = 0;
    USHORT nativeMachine = 0;
    return platform.IsWow64Process2 != nullptr
        && platform.IsWow64Process2(GetCurrentProcess(), &processMachine, &nativeMachine)
        && nativeMachine == MachineArm64;
}

const char* softwareEmulator()
{
    const ProcessorPlatform& platform = processorPlatform();
    CpuidLeaf leaf;
    if (!platform.ReadCpuidLeaf(0, &leaf) || leaf.eax < 1 || !platform.ReadCpuidLeaf(1, &leaf)
        || (leaf.ecx & HypervisorPresent) == 0 || !platform.ReadCpuidLeaf(HypervisorLeaf, &leaf))
        return nullptr;
    const unsigned signature[3] = {leaf.ebx, leaf.ecx, leaf.edx};
    for (const EmulatorSignature& emulator : Emulators) {
        if (memcmp(signature, emulator.signature, sizeof signature) == 0)
            return emulator.name;
    }
    return nullptr;
}

} // namespace

const char* DetectEmulation()
{
    if (onArm64())
        return "ARM64";
    return softwareEmulator();
}

const char* EmulatedOn()
{
    // Workers read the answer too; any thread that finds it undecided decides it alike.
    static std::atomic<const char*> emulator{nullptr};
    static std::atomic<bool> decided{false};
    if (!decided.load(std::memory_order_acquire)) {
        emulator.store(DetectEmulation(), std::memory_order_relaxed);
        decided.store(true, std::memory_order_release);
    }
    return emulator.load(std::memory_order_relaxed);
}
