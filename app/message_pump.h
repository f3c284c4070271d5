#ifndef ZYK_APP_MESSAGE_PUMP_H
#define ZYK_APP_MESSAGE_PUMP_H

#include <windows.h>

#include "app/pointer_list.h"

// Offered every message before it is translated and dispatched.
class DispatchFilter {
public:
    // Returns nonzero when it consumed the message, which the pump then
    // neither translates nor dispatches.
    virtual BOOL screen(MSG* message) = 0;

protected:
    ~DispatchFilter() = default;
};

// Run once each time the thread's queue runs empty after a message that
// re-arms the idle pass.
class IdleTask {
public:
    // The pump ignores the result.
    virtual BOOL runIdle() = 0;

protected:
    ~IdleTask() = default;
};

// The message loop of one thread. Filters and idle tasks are not owned and
// are never removed: each must outlive pumpMessages.
class MessagePump {
public:
    MessagePump();
    // Releases the idle list, then the filter list.
    virtual ~MessagePump();

    // Asks the filters, the last added first. Returns 1 when one consumed
    // the message, otherwise 0.
    virtual BOOL filterAll(MSG* message);

    // Runs every idle task once and returns 0. The counter is not used.
    virtual BOOL idleAll(LONG idleCount);

    // Runs until the quit message and returns its wParam.
    int pumpMessages();

    // Each returns 1, or 0 when its list cannot grow.
    int addFilter(DispatchFilter* filter);
    int addIdleTask(IdleTask* task);

    const MSG& currentMessage() const { return current; }
    const PointerList& filters() const { return filterList; }
    const PointerList& idleTasks() const { return idleList; }

private:
    MessagePump(const MessagePump&) = delete;
    MessagePump& operator=(const MessagePump&) = delete;

    PointerList filterList;
    PointerList idleList;
    MSG current;
};

#endif
