#include "app/pointer_list.h"

#include <climits>

#include "app/app_platform.h"

PointerList::PointerList() : slots(nullptr), used(0), allocated(0)
{
}

PointerList::~PointerList()
{
    release();
}

int PointerList::append(void* value)
{
    if (used == allocated) {
        if (allocated > LONG_MAX / 2)
            return 0;
        const LONG grown = allocated == 0 ? 1 : allocated * 2;
        void** block = static_cast<void**>(
            appPlatform().realloc(slots, static_cast<size_t>(grown) * sizeof(void*)));
        if (block == nullptr)
            return 0;
        slots = block;
        allocated = grown;
    }
    ++used;
    slots[used - 1] = value;
    return 1;
}

void PointerList::release()
{
    if (slots != nullptr)
        appPlatform().free(slots);
    slots = nullptr;
    used = 0;
    allocated = 0;
}
