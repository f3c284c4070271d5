#include "ui/result_area.h"

#include "res/resource_ids.h"
#include "ui/dialog_rows.h"

namespace {

bool encloses(const RECT& outer, const RECT& inner) {
    return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
           outer.bottom >= inner.bottom;
}

// The control drawn around the field: the dialog's group box.
HWND controlAround(HWND dialog, HWND field) {
    const RECT inner = ChildRect(dialog, field);
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (child != field && encloses(ChildRect(dialog, child), inner))
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

void moveDown(RECT& rect, int by) {
    rect.top += by;
    rect.bottom += by;
}

const char CoreUnitText[] = "MHZ Kerntakt / Core clock";
const char OneByOneUnitText[] = "MHZ Kerntakt einzeln / Core clock one by one";

}  // namespace

ResultArea::ResultArea()
    : original(), shownLayout(), groupBox(nullptr), frameHeight(0), captured(false), coreTextShown(false) {
}

void ResultArea::addCoreRow(HWND dialog, const char* coreText) {
    HWND field = GetDlgItem(dialog, IDC_RESULT);
    HWND unit = GetDlgItem(dialog, IDC_UNIT);
    if (field == nullptr || unit == nullptr || GetDlgItem(dialog, IDC_CORE_CLOCK) != nullptr)
        return;
    // One row: from the field's top to the unit label's bottom, and the gap
    // between the field and the label once more.
    RECT coreField = ChildRect(dialog, field);
    RECT coreUnit = ChildRect(dialog, unit);
    const int row = coreUnit.bottom + (coreUnit.top - coreField.bottom) - coreField.top;
    moveDown(coreField, row);
    moveDown(coreUnit, row);
    // In the tab order right after the row above, each with its label.
    // A text wraps within the field, which is two lines high.
    coreTextShown = coreText != nullptr;
    HWND core = CreateDialogControl(dialog, "Static", IDC_CORE_CLOCK, coreTextShown ? coreText : "",
                                    WS_GROUP | SS_CENTER | (coreTextShown ? SS_NOPREFIX : SS_CENTERIMAGE), coreField,
                                    field);
    CreateDialogControl(dialog, "Static", IDC_CORE_UNIT, CoreUnitText, WS_GROUP | SS_CENTER | SS_CENTERIMAGE,
                        coreUnit, core != nullptr ? core : field);

    HWND box = controlAround(dialog, field);
    if (box != nullptr) {
        RECT rect = ChildRect(dialog, box);
        rect.bottom += row;
        place(box, rect);
    }
    HWND link = GetDlgItem(dialog, IDC_SITE_LINK);
    if (link != nullptr) {
        RECT rect = ChildRect(dialog, link);
        moveDown(rect, row);
        place(link, rect);
    }
    RECT frame = {};
    GetWindowRect(dialog, &frame);
    SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top + row,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ResultArea::capture(HWND dialog) {
    HWND field = GetDlgItem(dialog, IDC_RESULT);
    if (field == nullptr)
        return;
    groupBox = controlAround(dialog, field);
    original.field = ChildRect(dialog, field);
    original.groupBox = groupBox != nullptr ? ChildRect(dialog, groupBox) : original.field;
    original.unitLabel = ChildRect(dialog, GetDlgItem(dialog, IDC_UNIT));
    original.coreField = ChildRect(dialog, GetDlgItem(dialog, IDC_CORE_CLOCK));
    original.coreLabel = ChildRect(dialog, GetDlgItem(dialog, IDC_CORE_UNIT));
    original.siteLink = ChildRect(dialog, GetDlgItem(dialog, IDC_SITE_LINK));
    RECT client = {};
    RECT frame = {};
    GetClientRect(dialog, &client);
    GetWindowRect(dialog, &frame);
    original.clientHeight = client.bottom;
    frameHeight = (frame.bottom - frame.top) - client.bottom;
    shownLayout = LayOutResults(1, original, screenOf(dialog));
    captured = true;
    // The core clocks stand under the time-stamp rates from the start, the
    // same processor's values one above the other, whatever their lengths.
    HWND coreField = GetDlgItem(dialog, IDC_CORE_CLOCK);
    if (coreField != nullptr && !coreTextShown && coreClockField.attachToWindow(coreField))
        coreClockField.showUnder(field);
}

void ResultArea::arrange(HWND dialog, LONG values) {
    if (!captured || (values <= PlainValues && !resultField.drawsLines()))
        return;
    HWND field = GetDlgItem(dialog, IDC_RESULT);
    HWND coreField = GetDlgItem(dialog, IDC_CORE_CLOCK);
    // Without its own drawing the field stays the one-line static it was.
    if (resultField.window() == nullptr && !resultField.attachToWindow(field))
        return;
    // Scrolling one field scrolls the other, so that a processor's two values
    // stay one above the other.
    if (coreClockField.window() != nullptr) {
        resultField.scrollWith(&coreClockField);
        coreClockField.scrollWith(&resultField);
    }

    shownLayout = LayOutResults(values, original, screenOf(dialog));
    const ResultAreaParts& parts = shownLayout.parts;
    place(field, parts.field);
    place(groupBox, parts.groupBox);
    place(GetDlgItem(dialog, IDC_UNIT), parts.unitLabel);
    place(coreField, parts.coreField);
    place(GetDlgItem(dialog, IDC_CORE_UNIT), parts.coreLabel);
    place(GetDlgItem(dialog, IDC_SITE_LINK), parts.siteLink);
    resizeDialog(dialog, parts.clientHeight);
    // The group box draws only its frame: the old one would stay where the
    // dialog is not drawn again as a whole.
    InvalidateRect(dialog, nullptr, TRUE);
    if (values > PlainValues) {
        resultField.showLines(shownLayout);
        if (coreClockField.window() != nullptr)
            coreClockField.showLines(shownLayout);
    } else {
        resultField.showPlain();
        if (coreClockField.window() != nullptr)
            coreClockField.showUnder(field);
    }
}

void ResultArea::labelCoreRow(HWND dialog, bool oneByOne) const {
    SetWindowTextA(GetDlgItem(dialog, IDC_CORE_UNIT), oneByOne ? OneByOneUnitText : CoreUnitText);
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
