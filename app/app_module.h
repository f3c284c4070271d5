#ifndef ZYK_APP_APP_MODULE_H
#define ZYK_APP_APP_MODULE_H

#include <windows.h>

class PumpTable;
class MessagePump;
struct CreationRecord;

// The process-wide service object of the window framework: the instance
// handles, the module lock (guards the pump table), the creation lock (guards
// the pending-creation list), the head of that list and the pump table.
// The two locks are never held together.
class AppModule {
public:
    AppModule();

    // Stores the instance, initialises both locks and allocates the pump
    // table. Returns 0, or E_OUTOFMEMORY when the table cannot be allocated;
    // the locks are initialised all the same and the table stays null, so
    // registerPump then fails and pumpForThread finds nothing.
    //
    // A program whose start-up fails must not run its dialog: it calls
    // shutDown and ends with status 0, the status of a dialog that could not
    // be created.
    HRESULT startUp(HINSTANCE instance);

    // Frees the pump table and deletes both locks. Does nothing unless
    // startUp has run since the last shutDown.
    void shutDown();

    // Adds an entry for the calling thread. Returns 1, or 0 when the table
    // cannot grow or does not exist.
    int registerPump(MessagePump* pump);

    // Removes the first entry of the calling thread. Returns 1, or 0 when
    // there is none.
    int unregisterPump();

    // The pump of the first entry of threadId, or null. The caller holds the
    // module lock around the call and may keep using the pump afterwards:
    // only the pump's own thread changes it.
    MessagePump* pumpForThread(DWORD threadId);

    void enterModuleLock();
    void leaveModuleLock();
    void enterCreationLock();
    void leaveCreationLock();

    HINSTANCE moduleInstance() const { return moduleHandle; }
    HINSTANCE resourceInstance() const { return resourceHandle; }

    // The head of the pending-creation list. Read and written only under
    // the creation lock.
    CreationRecord*& pendingCreations() { return creationHead; }

    // The table, null before startUp, after shutDown and when its
    // allocation failed. For inspection under the module lock.
    const PumpTable* pumpTable() const { return table; }

private:
    AppModule(const AppModule&) = delete;
    AppModule& operator=(const AppModule&) = delete;

    HINSTANCE moduleHandle;
    HINSTANCE resourceHandle;
    CRITICAL_SECTION moduleLock;
    CRITICAL_SECTION creationLock;
    CreationRecord* creationHead;
    PumpTable* table;
    bool started;
};

extern AppModule appModule;

#endif
