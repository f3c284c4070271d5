// Whose clock is measured: the processor's name, whether its x86 code is
// emulated, and the kinds of its cores, each from faked platform answers.
#include <gtest/gtest.h>

#include <string.h>

#include <map>
#include <string>

#include "fake_measure_platform.h"
#include "processor/efficiency_classes.h"
#include "processor/emulation.h"
#include "processor/processor_name.h"
#include "support/fake_processors.h"

namespace {

using Leaves = std::map<unsigned, CpuidLeaf>;

std::string nameOf(const Leaves& leaves, DWORD processorType)
{
    installFakeProcessor(nullptr, processorType);
    installFakeCpuid(leaves);
    char name[ProcessorNameSize];
    memset(name, 'x', sizeof name);
    ReadProcessorName(name);
    return name;
}

TEST(ProcessorName, BrandStringTrimmedElseVendorFamilyModelSteppingElseTheProcessorType)
{
    MeasurePlatformScope scope;
    Leaves brand = {{0, vendorLeaf(0x16, "GenuineIntel")}, {0x80000000u, {0x80000008u, 0, 0, 0}}};
    putCpuidText(brand, 0x80000002u, "       Intel(R) Core(TM) i7-8700 CPU @ 3.20GHz  ", 3);
    EXPECT_EQ("Intel(R) Core(TM) i7-8700 CPU @ 3.20GHz", nameOf(brand, 8664));

    // A brand string of the full 48 characters has no zero of its own.
    Leaves full = brand;
    putCpuidText(full, 0x80000002u, "AMD Ryzen Threadripper PRO 7995WX 96-Cores ABCDE", 3);
    EXPECT_EQ("AMD Ryzen Threadripper PRO 7995WX 96-Cores ABCDE", nameOf(full, 8664));

    struct Case {
        const char* name;
        unsigned highestExtended;
        const char* vendor;
        unsigned signature;
        const char* expected;
    } cases[] = {
        {"extended model", 0x80000001u, "GenuineIntel", 0x000906EA, "GenuineIntel family 6 model 158 stepping 10"},
        {"extended family", 0x80000001u, "AuthenticAMD", 0x00800F82, "AuthenticAMD family 23 model 8 stepping 2"},
        {"no extended fields", 0x80000001u, "AuthenticAMD", 0x00000501, "AuthenticAMD family 5 model 0 stepping 1"},
        // A processor without extended leaves answers with a basic leaf.
        {"no extended leaves", 0x00000002u, "GenuineIntel", 0x00000435, "GenuineIntel family 4 model 3 stepping 5"},
    };
    for (const Case& c : cases) {
        const Leaves leaves = {{0, vendorLeaf(1, c.vendor)},
                               {1, {c.signature, 0, 0, 0}},
                               {0x80000000u, {c.highestExtended, 0, 0, 0}}};
        EXPECT_EQ(c.expected, nameOf(leaves, 586)) << c.name;
    }

    EXPECT_EQ("80386", nameOf({}, 386)) << "no CPUID";
    EXPECT_EQ("80486", nameOf({}, 486)) << "no CPUID";
}

// What the faked IsWow64Process2 answers.
USHORT fakeProcessMachine;
USHORT fakeNativeMachine;

BOOL WINAPI FakeIsWow64Process2(HANDLE, USHORT* process, USHORT* native)
{
    *process = fakeProcessMachine;
    *native = fakeNativeMachine;
    return TRUE;
}

TEST(Emulation, Arm64NativeMachineOrASoftwareEmulatorsSignatureButNoHardwareHypervisor)
{
    MeasurePlatformScope scope;
    const unsigned Hypervisor = 1u << 31;
    struct Case {
        const char* name;
        bool function;
        USHORT processMachine;
        USHORT nativeMachine;
        unsigned leaf1Ecx;
        const char* signature; // of leaf 0x40000000, or null for no CPUID at all
        const char* expected;
    } cases[] = {
        {"x86 process on ARM64", true, 0x014C, 0xAA64, 0, "", "ARM64"},
        {"x64 process on ARM64", true, 0, 0xAA64, 0, "", "ARM64"},
        {"x86 process on x64", true, 0x014C, 0x8664, 0, "", nullptr},
        {"function absent", false, 0, 0, 0, "", nullptr},
        {"function absent, no CPUID", false, 0, 0, 0, nullptr, nullptr},
        {"QEMU without acceleration", true, 0, 0x8664, Hypervisor, "TCGTCGTCGTCG", "QEMU TCG"},
        {"FEX", false, 0, 0, Hypervisor, "FEXIFEXIEMU", "FEX"},
        {"KVM", true, 0, 0x8664, Hypervisor, "KVMKVMKVM", nullptr},
        {"Hyper-V", true, 0, 0x8664, Hypervisor, "Microsoft Hv", nullptr},
        {"signature without the hypervisor bit", true, 0, 0x8664, 0, "TCGTCGTCGTCG", nullptr},
    };
    for (const Case& c : cases) {
        fakeProcessMachine = c.processMachine;
        fakeNativeMachine = c.nativeMachine;
        processorPlatform().IsWow64Process2 = c.function ? FakeIsWow64Process2 : nullptr;
        Leaves leaves;
        if (c.signature != nullptr) {
            leaves[0] = vendorLeaf(0xD, "GenuineIntel");
            leaves[1] = {0x000906EA, 0, c.leaf1Ecx, 0};
            // The signature lies in ebx, ecx, edx; eax holds the highest hypervisor leaf.
            unsigned text[3] = {};
            memcpy(text, c.signature, strlen(c.signature));
            leaves[0x40000000u] = {0x40000001u, text[0], text[1], text[2]};
        }
        installFakeCpuid(leaves);
        EXPECT_STREQ(c.expected, DetectEmulation()) << c.name;
    }
}

// Kinds of cores on 80 processors in two groups; a 32-bit program measures 32
// of group 0's 64, so processor 41 is in group 0 on x64 and in group 1 on x86.
// Each faked core holds two neighbouring processors.
TEST(ProcessorClasses, RankedGroupByGroupWhereTheMeasuredProcessorsHaveMoreThanOneClass)
{
    MeasurePlatformScope scope;
    FakeProcessors eighty(80);
    const LONG measured = sizeof(KAFFINITY) == 8 ? 80 : 48;
    const LONG group1 = sizeof(KAFFINITY) == 8 ? 65 : 33;
    struct Case {
        const char* name;
        BYTE (*classOf)(LONG processor, LONG group1);
        int kinds;
        int (*rankOf)(LONG processor, LONG group1);
    } cases[] = {
        {"two classes, the second group faster", [](LONG k, LONG g1) { return BYTE(k >= g1 ? 1 : 0); }, 2,
         [](LONG k, LONG g1) { return k >= g1 ? 1 : 2; }},
        // Classes need not be consecutive: a higher one is a faster core.
        {"three classes", [](LONG k, LONG) { return BYTE(k <= 4 ? 7 : k <= 8 ? 0 : 2); }, 3,
         [](LONG k, LONG) { return k <= 4 ? 1 : k <= 8 ? 3 : 2; }},
        {"one class", [](LONG, LONG) { return BYTE(1); }, 0, [](LONG, LONG) { return 0; }},
    };
    ProcessorClasses classes;
    for (const Case& c : cases) {
        FakeCoreClasses cores([&](LONG k) { return c.classOf(k, group1); });
        classes.read();
        EXPECT_EQ(c.kinds, classes.kinds()) << c.name;
        for (LONG k = 1; k <= measured; ++k)
            ASSERT_EQ(c.rankOf(k, group1), classes.rankOf(k)) << c.name << ": processor " << k;
        EXPECT_EQ(0, classes.rankOf(measured + 1)) << c.name << ": not measured";
    }
    FakeCoreClasses cores([](LONG k) { return BYTE(k % 2); });
    processorPlatform().GetLogicalProcessorInformationEx = nullptr;
    classes.read();
    EXPECT_EQ(0, classes.kinds()) << "function absent";
    EXPECT_EQ(0, classes.rankOf(1));
}

} // namespace
