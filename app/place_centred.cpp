#include "app/place_centred.h"

#include "app/app_platform.h"

BOOL placeCentred(HWND window, HWND centre)
{
    AppPlatform& platform = appPlatform();
    const LONG_PTR style = platform.GetWindowLongPtrA(window, GWL_STYLE);
    const bool child = (style & WS_CHILD) != 0;

    if (centre == nullptr)
        centre = child ? platform.GetParent(window) : platform.GetWindow(window, GW_OWNER);

    RECT placed = {};
    platform.GetWindowRect(window, &placed);

    RECT area = {};
    RECT reference = {};
    if (child) {
        HWND parent = platform.GetParent(window);
        platform.GetClientRect(parent, &area);
        platform.GetClientRect(centre, &reference);
        platform.MapWindowPoints(centre, parent, reinterpret_cast<POINT*>(&reference), 2);
    } else {
        if (centre != nullptr) {
            const LONG_PTR centreStyle = platform.GetWindowLongPtrA(centre, GWL_STYLE);
            if ((centreStyle & WS_VISIBLE) == 0 || (centreStyle & WS_MINIMIZE) != 0)
                centre = nullptr;
        }
        platform.SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
        if (centre != nullptr)
            platform.GetWindowRect(centre, &reference);
        else
            reference = area;
    }

    const LONG width = placed.right - placed.left;
    const LONG height = placed.bottom - placed.top;
    // Integer division truncates toward zero in both halves.
    LONG x = (reference.left + reference.right) / 2 - width / 2;
    LONG y = (reference.top + reference.bottom) / 2 - height / 2;

    if (x < area.left)
        x = area.left;
    else if (x + width > area.right)
        x = area.right - width;
    if (y < area.top)
        y = area.top;
    else if (y + height > area.bottom)
        y = area.bottom - height;

    return platform.SetWindowPos(window, nullptr, x, y, -1, -1,
                                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
