#include "ui/dialog_rows.h"

namespace {

RECT childRect(HWND dialog, HWND child) {
    RECT rect = {};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

}  // namespace

RECT DialogUnitsToPixels(HWND dialog, int x, int y, int width, int height) {
    RECT rect = {x, y, x + width, y + height};
    MapDialogRect(dialog, &rect);
    return rect;
}

RECT InsertRowAbove(HWND dialog, HWND below, int heightDialogUnits) {
    RECT row = {};
    if (below == nullptr)
        return row;
    const RECT belowRect = childRect(dialog, below);
    const int height = DialogUnitsToPixels(dialog, 0, 0, 0, heightDialogUnits).bottom;
    const LONG line = belowRect.top;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT rect = childRect(dialog, child);
        if (rect.top >= line)
            OffsetRect(&rect, 0, height);
        else if (rect.bottom > line)
            rect.bottom += height;
        else
            continue;
        SetWindowPos(child, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT frame = {};
    GetWindowRect(dialog, &frame);
    SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top + height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    row.left = belowRect.left;
    row.right = belowRect.right;
    row.top = line;
    row.bottom = line + height;
    return row;
}
