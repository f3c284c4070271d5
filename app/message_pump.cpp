#include "app/message_pump.h"

#include "app/app_platform.h"

namespace {

// The system timer message that drives caret blinking; it has no name in
// the public headers.
const UINT SystemTimerMessage = 0x0118;

// Messages that arrive in streams and must not bring an idle pass each.
bool keepsIdleState(UINT message)
{
    return message == WM_PAINT || message == WM_NCMOUSEMOVE || message == SystemTimerMessage ||
           message == WM_MOUSEMOVE;
}

}  // namespace

MessagePump::MessagePump() : current()
{
}

MessagePump::~MessagePump()
{
    idleList.release();
    filterList.release();
}

BOOL MessagePump::filterAll(MSG* message)
{
    const LONG count = filterList.count();
    for (LONG index = count - 1; index >= 0; --index) {
        // A filter may append to the list while it screens, which can move
        // the slots; read them afresh each step.
        DispatchFilter* filter = static_cast<DispatchFilter*>(filterList.items()[index]);
        if (filter != nullptr && filter->screen(message))
            return 1;
    }
    return 0;
}

BOOL MessagePump::idleAll(LONG)
{
    for (LONG index = 0; index < idleList.count(); ++index) {
        IdleTask* task = static_cast<IdleTask*>(idleList.items()[index]);
        if (task != nullptr)
            task->runIdle();
    }
    return 0;
}

int MessagePump::pumpMessages()
{
    AppPlatform& platform = appPlatform();
    bool idle = true;
    LONG idleCount = 0;

    for (;;) {
        while (idle && !platform.PeekMessageA(&current, nullptr, 0, 0, PM_NOREMOVE)) {
            const BOOL more = idleAll(idleCount);
            ++idleCount;
            if (!more)
                idle = false;
        }

        const BOOL got = platform.GetMessageA(&current, nullptr, 0, 0);
        if (got == -1)
            continue;
        if (got == 0)
            return static_cast<int>(current.wParam);

        const UINT message = current.message;
        if (!filterAll(&current)) {
            platform.TranslateMessage(&current);
            platform.DispatchMessageA(&current);
        }

        if (!keepsIdleState(message)) {
            idle = true;
            idleCount = 0;
        }
    }
}

int MessagePump::addFilter(DispatchFilter* filter)
{
    return filterList.append(filter);
}

int MessagePump::addIdleTask(IdleTask* task)
{
    return idleList.append(task);
}
