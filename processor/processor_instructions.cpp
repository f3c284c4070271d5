#include "processor/processor_instructions.h"

unsigned long long ReadTimeStamp()
{
    unsigned int low;
    unsigned int high;
    asm volatile("rdtsc" : "=a"(low), "=d"(high));
    return (static_cast<unsigned long long>(high) << 32) | low;
}

unsigned long long ReadSerialisedTimeStamp()
{
    // CPUID overwrites eax, ebx, ecx and edx; naming them as outputs makes the compiler
    // save whatever it kept there and discard what CPUID leaves.
    unsigned int leaf = 0;
    unsigned int subleaf = 0;
    unsigned int ebx;
    unsigned int edx;
    asm volatile("cpuid" : "+a"(leaf), "=b"(ebx), "+c"(subleaf), "=d"(edx) : : "memory");
    unsigned int low;
    unsigned int high;
    asm volatile("rdtsc" : "=a"(low), "=d"(high));
    return (static_cast<unsigned long long>(high) << 32) | low;
}

void MaskInterrupts()
{
    asm volatile("cli" : : : "memory");
}

void UnmaskInterrupts()
{
    asm volatile("sti" : : : "memory");
}

namespace {

const unsigned IdFlag = 1u << 21;

// Kept inside ReadProcessorSignature and ReadCpuidLeaf, the only routines besides the counter
// reads that may hold a CPUID.
[[gnu::always_inline]] inline void Cpuid(unsigned leaf, unsigned& eax, unsigned& ebx, unsigned& ecx,
                                         unsigned& edx)
{
    asm volatile("cpuid" : "=a"(eax), "=b"(ebx), "=c"(ecx), "=d"(edx) : "a"(leaf), "c"(0u));
}

// Whether the EFLAGS ID bit can be flipped, which is how a processor says it has CPUID. Every
// x86-64 processor has it.
bool HasCpuid()
{
#if defined(__x86_64__)
    return true;
#else
    unsigned original;
    unsigned flipped;
    asm volatile("pushfl\n\t"
                 "popl %0\n\t"
                 "movl %0, %1\n\t"
                 "xorl %2, %1\n\t"
                 "pushl %1\n\t"
                 "popfl\n\t"
                 "pushfl\n\t"
                 "popl %1\n\t"
                 "pushl %0\n\t"
                 "popfl"
                 : "=&r"(original), "=&r"(flipped)
                 : "i"(IdFlag)
                 : "cc");
    return ((original ^ flipped) & IdFlag) != 0;
#endif
}

} // namespace

bool ReadProcessorSignature(ProcessorSignature* signature)
{
    if (!HasCpuid())
        return false;
    unsigned highestLeaf;
    unsigned vendor[3];
    Cpuid(0, highestLeaf, vendor[0], vendor[2], vendor[1]);
    if (highestLeaf < 1)
        return false;
    unsigned eax;
    unsigned ebx;
    unsigned ecx;
    unsigned edx;
    Cpuid(1, eax, ebx, ecx, edx);
    // "GenuineIntel" in ebx, edx, ecx order.
    signature->genuineIntel = vendor[0] == 0x756E6547 && vendor[1] == 0x49656E69 && vendor[2] == 0x6C65746E;
    signature->family = DisplayFamily(eax);
    signature->model = DisplayModel(eax);
    return true;
}

unsigned DisplayFamily(unsigned signature)
{
    const unsigned family = (signature >> 8) & 0xF;
    return family == 0xF ? family + ((signature >> 20) & 0xFF) : family;
}

unsigned DisplayModel(unsigned signature)
{
    const unsigned family = (signature >> 8) & 0xF;
    const unsigned model = (signature >> 4) & 0xF;
    return family == 0x6 || family == 0xF ? (((signature >> 16) & 0xF) << 4) | model : model;
}

bool ReadCpuidLeaf(unsigned number, CpuidLeaf* leaf)
{
    if (!HasCpuid())
        return false;
    Cpuid(number, leaf->eax, leaf->ebx, leaf->ecx, leaf->edx);
    return true;
}
