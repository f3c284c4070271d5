#include "ui/dialog_rows.h"

#include "link/gdi_scopes.h"

RECT ChildRect(HWND dialog, HWND child) {
    RECT rect = {};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

RECT DialogUnitsToPixels(HWND dialog, int x, int y, int width, int height) {
    RECT rect = {x, y, x + width, y + height};
    MapDialogRect(dialog, &rect);
    return rect;
}

RECT InsertRowAbove(HWND dialog, HWND below, int heightDialogUnits) {
    RECT row = {};
    if (below == nullptr)
        return row;
    const RECT belowRect = ChildRect(dialog, below);
    const int height = DialogUnitsToPixels(dialog, 0, 0, 0, heightDialogUnits).bottom;
    const LONG line = belowRect.top;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT rect = ChildRect(dialog, child);
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

RECT MeasureDialogText(HWND dialog, const char* text, LONG width, UINT flags) {
    WindowDC dc(dialog);
    SelectedObject font(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(dialog, WM_GETFONT, 0, 0)));
    RECT rect = {0, 0, width, 0};
    DrawTextA(dc, text, -1, &rect, DT_CALCRECT | flags);
    return rect;
}

HWND CreateDialogControl(HWND dialog, const char* className, int id, const char* text, DWORD style,
                         const RECT& rect, HWND after) {
    HWND control = CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, rect.left, rect.top,
                                   rect.right - rect.left, rect.bottom - rect.top, dialog,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(dialog, GWLP_HINSTANCE)),
                                   nullptr);
    if (control != nullptr) {
        SendMessageA(control, WM_SETFONT, SendMessageA(dialog, WM_GETFONT, 0, 0), FALSE);
        SetWindowPos(control, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    return control;
}
