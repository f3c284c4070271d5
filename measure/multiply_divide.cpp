#include "measure/multiply_divide.h"

namespace {

ULONGLONG Low(ULONGLONG value)
{
    return value & 0xFFFFFFFFULL;
}

// The product of two 32-bit halves: one 32 × 32 → 64-bit multiplication.
ULONGLONG Product(ULONGLONG x, ULONGLONG y)
{
    return static_cast<ULONGLONG>(static_cast<DWORD>(x)) * static_cast<DWORD>(y);
}

} // namespace

ULONGLONG MultiplyDivide(ULONGLONG a, ULONGLONG b, ULONGLONG c)
{
    // a × b as high:low, from the four products of the 32-bit halves.
    const ULONGLONG lowLow = Product(a, b);
    const ULONGLONG lowHigh = Product(a, b >> 32);
    const ULONGLONG highLow = Product(a >> 32, b);
    const ULONGLONG highHigh = Product(a >> 32, b >> 32);
    const ULONGLONG middle = (lowLow >> 32) + Low(lowHigh) + Low(highLow);
    const ULONGLONG low = (middle << 32) | Low(lowLow);
    const ULONGLONG high = highHigh + (lowHigh >> 32) + (highLow >> 32) + (middle >> 32);

    // Long division of high:low by c, one bit at a time; the remainder stays below c.
    ULONGLONG quotient = 0;
    ULONGLONG remainder = 0;
    for (int bit = 127; bit >= 0; --bit) {
        const bool carried = (remainder >> 63) != 0;
        const ULONGLONG next = bit >= 64 ? high >> (bit - 64) : low >> bit;
        remainder = (remainder << 1) | (next & 1);
        quotient <<= 1;
        if (carried || remainder >= c) {
            remainder -= c;
            quotient |= 1;
        }
    }
    return quotient;
}
