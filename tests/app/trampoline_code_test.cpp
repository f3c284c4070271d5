#include "app/trampoline_code.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

template <size_t N>
std::vector<unsigned char> bytesOf(const unsigned char (&code)[N])
{
    return std::vector<unsigned char>(code, code + N);
}

TEST(TrampolineCode, X86LayoutStoresTheObjectAndJumpsRelative)
{
    struct Case {
        const char* name;
        uint32_t stub, object, procedure;
        std::vector<unsigned char> expected;
    };
    const Case cases[] = {
        {"forward jump", 0x00401000, 0x12345678, 0x00402000,
         {0xC7, 0x44, 0x24, 0x04, 0x78, 0x56, 0x34, 0x12, 0xE9, 0xF3, 0x0F, 0x00, 0x00}},
        {"backward jump", 0x00401000, 0x0012FF40, 0x00400000,
         {0xC7, 0x44, 0x24, 0x04, 0x40, 0xFF, 0x12, 0x00, 0xE9, 0xF3, 0xEF, 0xFF, 0xFF}},
        {"jump across the top of the address space", 0xFFFFFFF0, 0x00000001, 0x00000010,
         {0xC7, 0x44, 0x24, 0x04, 0x01, 0x00, 0x00, 0x00, 0xE9, 0x13, 0x00, 0x00, 0x00}},
    };
    for (const Case& c : cases) {
        unsigned char code[TrampolineSizeX86];
        encodeTrampolineX86(code, c.stub, c.object, c.procedure);
        EXPECT_EQ(bytesOf(code), c.expected) << c.name;
    }
}

TEST(TrampolineCode, X64LayoutLoadsRcxAndJumpsThroughRax)
{
    unsigned char code[TrampolineSizeX64];
    encodeTrampolineX64(code, 0x1122334455667788ull, 0x0102030405060708ull);
    const std::vector<unsigned char> expected = {
        0x48, 0xB9, 0x88, 0x77, 0x66, 0x55, 0x44, 0x33, 0x22, 0x11,  // mov rcx, object
        0x48, 0xB8, 0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01,  // mov rax, procedure
        0xFF, 0xE0};                                                 // jmp rax
    EXPECT_EQ(bytesOf(code), expected);
}

TEST(TrampolineCode, NativeLayoutMatchesTheBuild)
{
    int object = 0;
    unsigned char code[TrampolineSize];
    unsigned char stub[TrampolineSize] = {};
    encodeTrampoline(code, stub, &object, reinterpret_cast<const void*>(0x1000));
#if defined(__x86_64__)
    unsigned char expected[TrampolineSizeX64];
    encodeTrampolineX64(expected, reinterpret_cast<uintptr_t>(&object), 0x1000);
#else
    unsigned char expected[TrampolineSizeX86];
    encodeTrampolineX86(expected, reinterpret_cast<uintptr_t>(stub), reinterpret_cast<uintptr_t>(&object),
                        0x1000);
#endif
    EXPECT_EQ(bytesOf(code), bytesOf(expected));
}

}  // namespace
