#include "failing_heap.h"

#include <cstdlib>

namespace failing_heap {
namespace {

int callCount = 0;
int firstFailing = 0;
bool onlyOne = false;

bool shouldFail()
{
    ++callCount;
    if (firstFailing == 0)
        return false;
    return onlyOne ? callCount == firstFailing : callCount >= firstFailing;
}

}  // namespace

void reset()
{
    callCount = 0;
    firstFailing = 0;
    onlyOne = false;
}

void failFrom(int call)
{
    callCount = 0;
    firstFailing = call;
    onlyOne = false;
}

void failOnly(int call)
{
    callCount = 0;
    firstFailing = call;
    onlyOne = true;
}

int calls()
{
    return callCount;
}

void* realloc(void* block, size_t size)
{
    return shouldFail() ? nullptr : std::realloc(block, size);
}

void* malloc(size_t size)
{
    return shouldFail() ? nullptr : std::malloc(size);
}

}  // namespace failing_heap
