#pragma once

// Chains of dependent register additions whose cost per link is known (cycles_per_link.h),
// for measuring the clock the cores run at. Each pass runs one chain of 32-bit register-to-
// register additions, every one waiting for the one before, and a plain loop runs the passes.
// The two chains differ only in their length, so that timed at the same pass count the loop's
// cost per pass and every fixed cost of a run cancel in the difference of their times. The
// short chain is short, as its time is spent only to be subtracted, but long enough that a
// processor which runs instructions out of order runs the loop beside it, as beside the long
// one.
//
// Plain 80386 code, and no operating-system call: the same file is built into the program and
// into a native benchmark program.

const unsigned ShortChainLinks = 8;
const unsigned LongChainLinks = 80;

// Run the short or the long chain passes times; a pass count of 0 runs none.
void RunShortChain(unsigned passes);
void RunLongChain(unsigned passes);
