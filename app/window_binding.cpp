#include "app/window_binding.h"

WindowBinding::WindowBinding() : windowHandle(nullptr), stub(), creation(), messageSlot(nullptr)
{
}

void WindowBinding::windowReleased(HWND)
{
}

bool WindowBinding::writeStub()
{
    return stub.write(this, staticProcedure());
}

BOOL WindowBinding::handleBound(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                LRESULT& result)
{
    MSG record = {};
    record.hwnd = window;
    record.message = message;
    record.wParam = wParam;
    record.lParam = lParam;

    const MSG* saved = messageSlot;
    messageSlot = &record;
    const BOOL handled = handleMessage(window, message, wParam, lParam, result, 0);
    messageSlot = saved;
    return handled;
}

void WindowBinding::releaseWindow()
{
    HWND old = windowHandle;
    windowHandle = nullptr;
    windowReleased(old);
}
