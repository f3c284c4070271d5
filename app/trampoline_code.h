#ifndef ZYK_APP_TRAMPOLINE_CODE_H
#define ZYK_APP_TRAMPOLINE_CODE_H

#include <cstddef>
#include <cstdint>

// Machine code of the stub that turns a call of a window or dialog
// procedure into a call with the bound object as first argument. Both
// encoders are pure and available in either build, so that the bytes of
// both layouts can be checked anywhere.

// x86, arguments on the stack:
//   C7 44 24 04 <object>     mov dword [esp+4], object
//   E9 <rel32>               jmp procedure
// rel32 = procedure - (stub + 13).
const size_t TrampolineSizeX86 = 13;
void encodeTrampolineX86(unsigned char (&code)[TrampolineSizeX86], uint32_t stubAddress,
                         uint32_t object, uint32_t procedure);

// x64, first argument in RCX:
//   48 B9 <object>           mov rcx, object
//   48 B8 <procedure>        mov rax, procedure
//   FF E0                    jmp rax
// Position independent; RAX is free to use at a call boundary.
const size_t TrampolineSizeX64 = 22;
void encodeTrampolineX64(unsigned char (&code)[TrampolineSizeX64], uint64_t object,
                         uint64_t procedure);

// The layout of the build in use.
#if defined(_M_X64) || defined(__x86_64__)
const size_t TrampolineSize = TrampolineSizeX64;
#else
const size_t TrampolineSize = TrampolineSizeX86;
#endif
void encodeTrampoline(unsigned char (&code)[TrampolineSize], const void* stub, const void* object,
                      const void* procedure);

#endif
