#ifndef ZYK_TESTS_APP_FAILING_HEAP_H
#define ZYK_TESTS_APP_FAILING_HEAP_H

#include <cstddef>

// A realloc and malloc for the platform table that fail on chosen calls and
// pass the others to the runtime. Calls are counted from 1 since reset().
namespace failing_heap {

void reset();
// Fails every call from the given one on (0: never fail).
void failFrom(int call);
// Fails only the given call.
void failOnly(int call);
int calls();

void* realloc(void* block, size_t size);
void* malloc(size_t size);

}  // namespace failing_heap

#endif
