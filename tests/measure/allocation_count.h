#pragma once

// The number of blocks obtained with operator new and not yet deleted, counted by the test
// program's own replacements of the global operators.
long LiveAllocations();
