#include "ui/result_area.h"

#include "res/resource_ids.h"

namespace {

// A child's rectangle in the dialog's client coordinates.
RECT childRect(HWND dialog, HWND child) {
    RECT rect = {};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool encloses(const RECT& outer, const RECT& inner) {
    return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
           outer.bottom >= inner.bottom;
}

// The control drawn around the field: the dialog's group box.
HWND controlAround(HWND dialog, HWND field) {
    const RECT inner = childRect(dialog, field);
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (child != field && encloses(childRect(dialog, child), inner))
            return child;
    }
    return nullptr;
}

void place(HWND control, const RECT& rect) {
    if (control != nullptr)
        SetWindowPos(control, nullptr, rect.left, rect.top, rect.right - rect.left,
                     rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

// The top of a window of the given height that starts at top, moved up
// as far as needed to end inside the area, but never above it.
LONG topInside(LONG top, int height, LONG areaTop, LONG areaBottom) {
    if (top + height > areaBottom)
        top = areaBottom - height;
    return top < areaTop ? areaTop : top;
}

}  // namespace

ResultArea::ResultArea()
    : original(), shownLayout(), groupBox(nullptr), frameHeight(0), captured(false) {
}

void ResultArea::capture(HWND dialog) {
    HWND field = GetDlgItem(dialog, IDC_RESULT);
    if (field == nullptr)
        return;
    groupBox = controlAround(dialog, field);
    original.field = childRect(dialog, field);
    original.groupBox = groupBox != nullptr ? childRect(dialog, groupBox) : original.field;
    original.unitLabel = childRect(dialog, GetDlgItem(dialog, IDC_UNIT));
    original.siteLink = childRect(dialog, GetDlgItem(dialog, IDC_SITE_LINK));
    RECT client = {};
    RECT frame = {};
    GetClientRect(dialog, &client);
    GetWindowRect(dialog, &frame);
    original.clientHeight = client.bottom;
    frameHeight = (frame.bottom - frame.top) - client.bottom;
    shownLayout = LayOutResults(1, original, screenOf(dialog));
    captured = true;
}

void ResultArea::arrange(HWND dialog, LONG values) {
    if (!captured || (values <= ResultColumns && !resultField.drawsLines()))
        return;
    HWND field = GetDlgItem(dialog, IDC_RESULT);
    // Without its own drawing the field stays the one-line static it was.
    if (resultField.window() == nullptr && !resultField.attachToWindow(field))
        return;

    shownLayout = LayOutResults(values, original, screenOf(dialog));
    const ResultAreaParts& parts = shownLayout.parts;
    place(field, parts.field);
    place(groupBox, parts.groupBox);
    place(GetDlgItem(dialog, IDC_UNIT), parts.unitLabel);
    place(GetDlgItem(dialog, IDC_SITE_LINK), parts.siteLink);
    resizeDialog(dialog, parts.clientHeight);
    // The group box draws only its frame: the old one would stay where the
    // dialog is not drawn again as a whole.
    InvalidateRect(dialog, nullptr, TRUE);
    if (values > ResultColumns)
        resultField.showLines(shownLayout);
    else
        resultField.showPlain();
}

ResultScreen ResultArea::screenOf(HWND dialog) const {
    // One character cell in dialog units: 4 across, 8 down.
    RECT cell = {0, 0, 4, 8};
    MapDialogRect(dialog, &cell);
    RECT work = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    ResultScreen screen;
    screen.lineHeight = cell.bottom;
    screen.charWidth = cell.right;
    screen.workAreaHeight = work.bottom - work.top;
    screen.frameHeight = frameHeight;
    screen.scrollBarWidth = GetSystemMetrics(SM_CXVSCROLL);
    return screen;
}

void ResultArea::resizeDialog(HWND dialog, int clientHeight) const {
    const int height = clientHeight + frameHeight;
    RECT work = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    if (IsIconic(dialog)) {
        // A minimised dialog gets its new size when it is restored. The
        // restored position is given relative to the work area.
        WINDOWPLACEMENT placement = {};
        placement.length = sizeof placement;
        if (!GetWindowPlacement(dialog, &placement))
            return;
        RECT& normal = placement.rcNormalPosition;
        normal.top = topInside(normal.top, height, 0, work.bottom - work.top);
        normal.bottom = normal.top + height;
        SetWindowPlacement(dialog, &placement);
        return;
    }
    RECT now = {};
    GetWindowRect(dialog, &now);
    const LONG top = topInside(now.top, height, work.top, work.bottom);
    SetWindowPos(dialog, nullptr, now.left, top, now.right - now.left, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}
