#include "app/creation_list.h"

#include "app/app_module.h"
#include "app/app_platform.h"
#include "app/window_binding.h"

void pushCreation(WindowBinding* object)
{
    CreationRecord& record = object->creation;
    record.object = object;
    record.threadId = appPlatform().GetCurrentThreadId();

    appModule.enterCreationLock();
    record.next = appModule.pendingCreations();
    appModule.pendingCreations() = &record;
    appModule.leaveCreationLock();
}

WindowBinding* takeCreation()
{
    WindowBinding* object = nullptr;
    appModule.enterCreationLock();
    CreationRecord** link = &appModule.pendingCreations();
    if (*link != nullptr) {
        const DWORD threadId = appPlatform().GetCurrentThreadId();
        while (*link != nullptr && (*link)->threadId != threadId)
            link = &(*link)->next;
        if (*link != nullptr) {
            CreationRecord* found = *link;
            *link = found->next;
            found->next = nullptr;
            object = found->object;
        }
    }
    appModule.leaveCreationLock();
    return object;
}

bool cancelCreation(WindowBinding* object)
{
    bool unlinked = false;
    const CreationRecord* record = &object->creation;
    appModule.enterCreationLock();
    for (CreationRecord** link = &appModule.pendingCreations(); *link != nullptr;
         link = &(*link)->next) {
        if (*link == record) {
            *link = (*link)->next;
            unlinked = true;
            break;
        }
    }
    appModule.leaveCreationLock();
    return unlinked;
}
