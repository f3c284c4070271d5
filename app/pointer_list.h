#ifndef ZYK_APP_POINTER_LIST_H
#define ZYK_APP_POINTER_LIST_H

#include <windows.h>

// A growable list of pointers that it does not own. Capacity runs 1, 2, 4,
// 8 and so on. Entries may be null; there is no removal, entries stay until
// the list is released.
class PointerList {
public:
    PointerList();
    ~PointerList();

    // Appends value. Returns 1, or 0 when the list cannot grow; the list is
    // unchanged then.
    int append(void* value);

    // Frees the slots and empties the list.
    void release();

    void** items() const { return slots; }
    LONG count() const { return used; }
    LONG capacity() const { return allocated; }

private:
    PointerList(const PointerList&) = delete;
    PointerList& operator=(const PointerList&) = delete;

    void** slots;
    LONG used;
    LONG allocated;
};

#endif
