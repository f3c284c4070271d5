#include "ui/result_layout.h"

namespace {

void moveDown(RECT& rect, int by) {
    rect.top += by;
    rect.bottom += by;
}

}  // namespace

ResultLayout LayOutResults(LONG values, const ResultAreaParts& original, const ResultScreen& screen) {
    ResultLayout layout = {};
    layout.parts = original;
    layout.lineHeight = screen.lineHeight > 0 ? screen.lineHeight : 1;
    layout.lines = values > ResultColumns ? (values + ResultColumns - 1) / ResultColumns : 1;

    // The lines that fit: the one the dialog was made for, and one more in
    // each field for every two line heights between the dialog's bottom and
    // the work area's.
    const int room = screen.workAreaHeight - screen.frameHeight - original.clientHeight;
    const int fitting = 1 + (room > 0 ? room / (ResultRows * layout.lineHeight) : 0);
    layout.visibleLines = layout.lines < fitting ? layout.lines : fitting;
    layout.scrolls = layout.visibleLines < layout.lines;

    const int growth = (layout.visibleLines - 1) * layout.lineHeight;
    layout.parts.field.bottom += growth;
    moveDown(layout.parts.unitLabel, growth);
    moveDown(layout.parts.coreField, growth);
    layout.parts.coreField.bottom += growth;
    moveDown(layout.parts.coreLabel, ResultRows * growth);
    moveDown(layout.parts.siteLink, ResultRows * growth);
    layout.parts.groupBox.bottom += ResultRows * growth;
    layout.parts.clientHeight += ResultRows * growth;

    // The lines are centred in the field as the single line of the dialog
    // as made is; the core clocks' field is made the same.
    const int oneLineField = original.field.bottom - original.field.top;
    layout.textTop = (oneLineField - layout.lineHeight) / 2;

    int textWidth = original.field.right - original.field.left;
    if (layout.scrolls)
        textWidth -= screen.scrollBarWidth;
    layout.columnWidth = textWidth / ResultColumns;
    layout.valueMargin = screen.charWidth;
    return layout;
}

RECT ResultCell(const ResultLayout& layout, int line, int column, int topLine) {
    RECT cell;
    cell.left = column * layout.columnWidth + layout.valueMargin / 2;
    cell.right = (column + 1) * layout.columnWidth - layout.valueMargin / 2;
    cell.top = layout.textTop + (line - topLine) * layout.lineHeight;
    cell.bottom = cell.top + layout.lineHeight;
    return cell;
}
