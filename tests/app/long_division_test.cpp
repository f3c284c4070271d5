// The x86 program's own 64-bit division routines, called here by the names the compiler calls
// them by, with cases for each way through them.
#include <gtest/gtest.h>

#include <stdint.h>

extern "C" uint64_t __udivdi3(uint64_t dividend, uint64_t divisor);
extern "C" uint64_t __umoddi3(uint64_t dividend, uint64_t divisor);
extern "C" int64_t __divdi3(int64_t dividend, int64_t divisor);
extern "C" int64_t __moddi3(int64_t dividend, int64_t divisor);

namespace {

TEST(LongDivisionTest, UnsignedQuotientsAndRemainders)
{
    struct Case {
        const char* name;
        uint64_t dividend, divisor, quotient, remainder;
    } cases[] = {
        {"one-word divisor, two-word quotient", 0x123456789ABCDEF0ULL, 10, 0x01D208A5A912E318ULL, 0},
        {"one-word divisor above the high word", 0x00000005FFFFFFFFULL, 7, 0xDB6DB6DBULL, 2},
        {"divisor 1", 0xFFFFFFFFFFFFFFFFULL, 1, 0xFFFFFFFFFFFFFFFFULL, 0},
        {"dividend below a two-word divisor", 0x00000001FFFFFFFFULL, 0x0000000200000000ULL, 0, 0x00000001FFFFFFFFULL},
        {"equal", 0x0000000300000005ULL, 0x0000000300000005ULL, 1, 0},
        {"two-word divisor with its top bit set", 0xFFFFFFFFFFFFFFFFULL, 0x8000000000000001ULL, 1, 0x7FFFFFFFFFFFFFFEULL},
        {"two-word divisor, estimate exact", 0x7FFFFFFF00000000ULL, 0x00000001FFFFFFFFULL, 0x3FFFFFFFULL, 0x000000013FFFFFFFULL},
        {"two-word divisor, estimate one too large", 0xFEDCBA9876543210ULL, 0x0000000123456789ULL, 0xE0000000ULL, 0x96543210ULL},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.quotient, __udivdi3(c.dividend, c.divisor)) << c.name;
        EXPECT_EQ(c.remainder, __umoddi3(c.dividend, c.divisor)) << c.name;
    }
}

TEST(LongDivisionTest, SignedQuotientsTruncateAndRemaindersFollowTheDividend)
{
    struct Case {
        const char* name;
        int64_t dividend, divisor, quotient, remainder;
    } cases[] = {
        {"negative by positive", -7, 2, -3, -1},
        {"positive by negative", 7, -2, -3, 1},
        {"negative by negative", -1250999896491LL, -65536, 19088743, -35243},
        {"two-word, negative", -9223372032559808512LL, 8589934591LL, -1073741823, -5368709119LL},
        {"most negative by -1 wraps", INT64_MIN, -1, INT64_MIN, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.quotient, __divdi3(c.dividend, c.divisor)) << c.name;
        EXPECT_EQ(c.remainder, __moddi3(c.dividend, c.divisor)) << c.name;
    }
}

} // namespace
