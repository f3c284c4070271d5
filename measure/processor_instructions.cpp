#include "measure/processor_instructions.h"

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
