#include "measure/dependent_chain.h"

namespace {

// Each link is "add %edx, %eax": a 32-bit register-to-register addition that every processor
// from the 80386 on runs at its documented latency. Neither a 64-bit addition of an immediate
// nor an increment would do: recent cores fold those into the register renaming and run
// several of them in one cycle. The loop counter lives in ecx, apart from the chain, so that
// on a processor that runs instructions out of order the loop runs beside the chain.
//
// The chain stays out of line, so that every run is one call whatever the caller's optimiser
// makes of its code.
template <unsigned Links>
[[gnu::noipa]] void RunChain(unsigned passes)
{
    if (passes == 0)
        return;
    unsigned sum = 0;
    asm volatile("1:\n\t"
                 ".rept %c[links]\n\t"
                 "addl %%edx, %%eax\n\t"
                 ".endr\n\t"
                 "decl %%ecx\n\t"
                 "jnz 1b"
                 : "+a"(sum), "+c"(passes)
                 : "d"(1u), [links] "n"(Links)
                 : "cc");
}

} // namespace

void RunShortChain(unsigned passes)
{
    RunChain<ShortChainLinks>(passes);
}

void RunLongChain(unsigned passes)
{
    RunChain<LongChainLinks>(passes);
}
