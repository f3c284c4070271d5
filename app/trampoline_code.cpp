#include "app/trampoline_code.h"

namespace {

void putLittleEndian(unsigned char* out, uint64_t value, size_t bytes)
{
    for (size_t i = 0; i < bytes; ++i)
        out[i] = static_cast<unsigned char>(value >> (8 * i));
}

}  // namespace

void encodeTrampolineX86(unsigned char (&code)[TrampolineSizeX86], uint32_t stubAddress,
                         uint32_t object, uint32_t procedure)
{
    code[0] = 0xC7;
    code[1] = 0x44;
    code[2] = 0x24;
    code[3] = 0x04;
    putLittleEndian(&code[4], object, 4);
    code[8] = 0xE9;
    // Unsigned arithmetic wraps modulo 2^32, which is what a relative jump
    // in a 32-bit address space needs.
    const uint32_t relative = procedure - (stubAddress + static_cast<uint32_t>(TrampolineSizeX86));
    putLittleEndian(&code[9], relative, 4);
}

void encodeTrampolineX64(unsigned char (&code)[TrampolineSizeX64], uint64_t object,
                         uint64_t procedure)
{
    code[0] = 0x48;
    code[1] = 0xB9;
    putLittleEndian(&code[2], object, 8);
    code[10] = 0x48;
    code[11] = 0xB8;
    putLittleEndian(&code[12], procedure, 8);
    code[20] = 0xFF;
    code[21] = 0xE0;
}

void encodeTrampoline(unsigned char (&code)[TrampolineSize], const void* stub, const void* object,
                      const void* procedure)
{
#if defined(_M_X64) || defined(__x86_64__)
    (void)stub;
    encodeTrampolineX64(code, reinterpret_cast<uintptr_t>(object),
                        reinterpret_cast<uintptr_t>(procedure));
#else
    encodeTrampolineX86(code, reinterpret_cast<uintptr_t>(stub), reinterpret_cast<uintptr_t>(object),
                        reinterpret_cast<uintptr_t>(procedure));
#endif
}
