#include "app/window_binding.h"

#include "app/programming_error.h"

SubclassBinding::SubclassBinding() : previous(DefWindowProcA)
{
}

SubclassBinding::~SubclassBinding()
{
    HWND bound = windowHandle;
    if (bound == nullptr || !IsWindow(bound))
        return;
    windowHandle = nullptr;
    const LONG_PTR current = GetWindowLongPtrA(bound, GWLP_WNDPROC);
    if (current == reinterpret_cast<LONG_PTR>(stub.entry()))
        SetWindowLongPtrA(bound, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    else if (current != reinterpret_cast<LONG_PTR>(previous))
        reportProgrammingError(
            "a window binding was destroyed while its window still exists and another procedure "
            "has replaced its stub");
}

void* SubclassBinding::staticProcedure()
{
    return reinterpret_cast<void*>(&SubclassBinding::boundWindowProc);
}

BOOL SubclassBinding::attachToWindow(HWND window)
{
    if (!writeStub())
        return 0;
    const LONG_PTR replaced =
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(stub.entry()));
    if (replaced == 0)
        return 0;
    previous = reinterpret_cast<WNDPROC>(replaced);
    windowHandle = window;
    return 1;
}

LRESULT CALLBACK SubclassBinding::boundWindowProc(WindowBinding* base, UINT message, WPARAM wParam,
                                                  LPARAM lParam)
{
    SubclassBinding* object = static_cast<SubclassBinding*>(base);
    HWND window = object->windowHandle;
    LRESULT result = 0;
    if (object->handleBound(window, message, wParam, lParam, result))
        return result;
    if (message != WM_NCDESTROY)
        return CallWindowProcA(object->previous, window, message, wParam, lParam);

    // The final message: let the previous procedure end the window, then put
    // it back unless some other code replaced the procedure meanwhile.
    const LONG_PTR before = GetWindowLongPtrA(window, GWLP_WNDPROC);
    result = CallWindowProcA(object->previous, window, WM_NCDESTROY, wParam, lParam);
    if (object->previous != DefWindowProcA && GetWindowLongPtrA(window, GWLP_WNDPROC) == before)
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(object->previous));
    object->releaseWindow();
    return result;
}
