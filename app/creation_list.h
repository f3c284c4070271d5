#ifndef ZYK_APP_CREATION_LIST_H
#define ZYK_APP_CREATION_LIST_H

#include <windows.h>

class WindowBinding;

// One dialog binding waiting for its dialog's first message. The records
// form a list, newest first, whose head is in the application module; the
// module's creation lock guards it.
struct CreationRecord {
    WindowBinding* object;
    DWORD threadId;
    CreationRecord* next;
};

// Links object's record for the calling thread at the head of the list.
void pushCreation(WindowBinding* object);

// Unlinks the calling thread's newest record and returns its object, or null
// when the thread has none. Records of other threads stay in the list.
WindowBinding* takeCreation();

// Unlinks object's record if it is still in the list; a creation that
// failed before its first message leaves it there. Returns true when a
// record was unlinked.
bool cancelCreation(WindowBinding* object);

#endif
