#include "app/app_module.h"

#include <new>

#include "app/app_platform.h"
#include "app/pump_table.h"

AppModule appModule;

AppModule::AppModule()
    : moduleHandle(nullptr), resourceHandle(nullptr), moduleLock(), creationLock(),
      creationHead(nullptr), table(nullptr), started(false)
{
}

HRESULT AppModule::startUp(HINSTANCE instance)
{
    if (started)
        shutDown();

    moduleHandle = instance;
    resourceHandle = instance;
    InitializeCriticalSection(&moduleLock);
    InitializeCriticalSection(&creationLock);
    started = true;
    creationHead = nullptr;

    void* block = appPlatform().malloc(sizeof(PumpTable));
    if (block == nullptr) {
        table = nullptr;
        return E_OUTOFMEMORY;
    }
    table = new (block) PumpTable();
    return 0;
}

void AppModule::shutDown()
{
    if (!started)
        return;
    if (table != nullptr) {
        table->release();
        table->~PumpTable();
        appPlatform().free(table);
        table = nullptr;
    }
    DeleteCriticalSection(&moduleLock);
    DeleteCriticalSection(&creationLock);
    started = false;
}

int AppModule::registerPump(MessagePump* pump)
{
    enterModuleLock();
    const DWORD threadId = appPlatform().GetCurrentThreadId();
    const int added = table != nullptr ? table->add(threadId, pump) : 0;
    leaveModuleLock();
    return added;
}

int AppModule::unregisterPump()
{
    enterModuleLock();
    const DWORD threadId = appPlatform().GetCurrentThreadId();
    const int removed = table != nullptr ? table->remove(threadId) : 0;
    leaveModuleLock();
    return removed;
}

MessagePump* AppModule::pumpForThread(DWORD threadId)
{
    return table != nullptr ? table->find(threadId) : nullptr;
}

void AppModule::enterModuleLock()
{
    EnterCriticalSection(&moduleLock);
}

void AppModule::leaveModuleLock()
{
    LeaveCriticalSection(&moduleLock);
}

void AppModule::enterCreationLock()
{
    EnterCriticalSection(&creationLock);
}

void AppModule::leaveCreationLock()
{
    LeaveCriticalSection(&creationLock);
}
