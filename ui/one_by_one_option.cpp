#include "ui/one_by_one_option.h"

#include <stdio.h>

#include "app/format_text.h"
#include "res/resource_ids.h"
#include "ui/dialog_rows.h"
#include "ui/result_display.h"

namespace {

// In dialog units: the check box spans the labels' left edge to the lists'
// right edge and stands in the middle of its row; the legend is one line of
// text in a row of its own.
const int BoxLeft = 11;
const int BoxWidth = 153 - BoxLeft;
const int BoxHeight = 10;
const int OptionRowHeight = 16;
const int LegendRowHeight = 10;
const int LegendHeight = 8;

const char BoxText[] = "Einzeln / One by one";

}  // namespace

OneByOneOption::OneByOneOption() : box(nullptr), legend(nullptr) {
}

void OneByOneOption::create(HWND dialog, const RECT& optionRow, HWND after) {
    RECT rect = DialogUnitsToPixels(dialog, BoxLeft, (OptionRowHeight - BoxHeight) / 2, BoxWidth, BoxHeight);
    OffsetRect(&rect, 0, optionRow.top);
    box = CreateDialogControl(dialog, "Button", IDC_ONE_BY_ONE, BoxText, BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP,
                              rect, after);

    HWND field = GetDlgItem(dialog, IDC_RESULT);
    const RECT row = InsertRowAbove(dialog, field, LegendRowHeight);
    if (field == nullptr)
        return;
    rect = DialogUnitsToPixels(dialog, 0, (LegendRowHeight - LegendHeight) / 2, 0, LegendHeight);
    rect.left = row.left;
    rect.right = row.right;
    OffsetRect(&rect, 0, row.top);
    // In the tab order where it stands: before the result field.
    HWND before = GetWindow(field, GW_HWNDPREV);
    legend = CreateDialogControl(dialog, "Static", IDC_LEGEND, "", SS_CENTER | WS_GROUP, rect,
                                 before != nullptr ? before : HWND_TOP);
}

void OneByOneOption::enable(bool workersMeasure) const {
    if (box != nullptr)
        EnableWindow(box, workersMeasure ? TRUE : FALSE);
}

bool OneByOneOption::checked() const {
    return box != nullptr && SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void OneByOneOption::showLegend(const OneByOneProgress& progress, LONG processors, bool marked) const {
    if (legend == nullptr)
        return;
    char text[128] = "";
    if (progress.running)
        FormatText(text, sizeof text, "Einzeln: %ld von %ld / One by one: %ld of %ld", progress.done, processors,
                   progress.done, processors);
    else if (marked)
        FormatText(text, sizeof text, "%s schnellste Kerne / fastest cores", FastestMark);
    SetWindowTextA(legend, text);
}
