// The 64-bit integer divisions that the compiler calls on x86, where the processor's DIV
// divides at most 64 bits by 32. The compiler's own routines are prebuilt for the Pentium Pro;
// these are built with the program for the 80386. Results are those of the language:
// quotients truncate toward zero, a remainder takes the sign of the dividend, and the most
// negative number divided by -1 wraps to itself. A divisor of 0 raises the processor's
// divide fault, as the compiler's own routines do.
#include <stdint.h>

namespace {

// DIV: (high:low) / divisor with its remainder. The processor raises its divide fault for a
// divisor of 0, and also when high is not below the divisor (the quotient would not fit).
uint32_t DivideWide(uint32_t high, uint32_t low, uint32_t divisor, uint32_t& remainder)
{
    uint32_t quotient;
    asm("divl %4" : "=a"(quotient), "=d"(remainder) : "a"(low), "d"(high), "rm"(divisor));
    return quotient;
}

uint64_t Joined(uint32_t high, uint32_t low)
{
    return (static_cast<uint64_t>(high) << 32) | low;
}

uint64_t DivideUnsigned(uint64_t dividend, uint64_t divisor, uint64_t& remainder)
{
    const uint32_t dividendHigh = static_cast<uint32_t>(dividend >> 32);
    const uint32_t divisorHigh = static_cast<uint32_t>(divisor >> 32);
    if (divisorHigh == 0) {
        // Two DIVs, high word first; the first one's remainder is below the divisor, so the
        // second one's quotient fits.
        uint32_t rest;
        uint32_t quotientHigh = DivideWide(0, dividendHigh, static_cast<uint32_t>(divisor), rest);
        uint32_t quotientLow = DivideWide(rest, static_cast<uint32_t>(dividend), static_cast<uint32_t>(divisor), rest);
        remainder = rest;
        return Joined(quotientHigh, quotientLow);
    }
    if (dividend < divisor) {
        remainder = dividend;
        return 0;
    }
    // The divisor has a high word, so the quotient fits in 32 bits. Both are shifted until the
    // divisor's top bit is set; the top 64 bits of the dividend divided by the divisor's high
    // word then give the quotient or one more.
    const int shift = __builtin_clz(divisorHigh);
    if (shift == 0) {
        remainder = dividend - divisor;
        return 1;
    }
    const uint64_t divisorShifted = divisor << shift;
    const uint64_t dividendShifted = dividend << shift;
    uint32_t rest;
    uint32_t quotient = DivideWide(dividendHigh >> (32 - shift), static_cast<uint32_t>(dividendShifted >> 32),
                                   static_cast<uint32_t>(divisorShifted >> 32), rest);
    uint64_t product = static_cast<uint64_t>(quotient) * static_cast<uint32_t>(divisorShifted);
    uint64_t top = Joined(rest, static_cast<uint32_t>(dividendShifted));
    if (product > top) {
        --quotient;
        product -= divisorShifted;
    }
    remainder = (top - product) >> shift;
    return quotient;
}

uint64_t Magnitude(int64_t value)
{
    return value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
}

}  // namespace

extern "C" uint64_t __udivdi3(uint64_t dividend, uint64_t divisor)
{
    uint64_t remainder;
    return DivideUnsigned(dividend, divisor, remainder);
}

extern "C" uint64_t __umoddi3(uint64_t dividend, uint64_t divisor)
{
    uint64_t remainder;
    DivideUnsigned(dividend, divisor, remainder);
    return remainder;
}

extern "C" int64_t __divdi3(int64_t dividend, int64_t divisor)
{
    uint64_t remainder;
    uint64_t quotient = DivideUnsigned(Magnitude(dividend), Magnitude(divisor), remainder);
    return static_cast<int64_t>((dividend < 0) != (divisor < 0) ? 0 - quotient : quotient);
}

extern "C" int64_t __moddi3(int64_t dividend, int64_t divisor)
{
    uint64_t remainder;
    DivideUnsigned(Magnitude(dividend), Magnitude(divisor), remainder);
    return static_cast<int64_t>(dividend < 0 ? 0 - remainder : remainder);
}
