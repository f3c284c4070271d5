#include "ui/processor_rows.h"

#include <stdio.h>

#include "app/format_text.h"
#include "res/resource_ids.h"
#include "ui/class_marks.h"
#include "ui/clock_verdict.h"
#include "ui/dialog_rows.h"

namespace {

// A line of text in dialog units, and the room kept above each row's text.
const int LineHeight = 8;
const int RowGap = 2;

const DWORD LineStyle = SS_CENTER | SS_NOPREFIX;

// The lines a text takes, wrapped at width pixels, in the dialog's font. A
// line is as high as 8 dialog units: the font's height.
int linesOf(HWND dialog, const char* text, LONG width) {
    const RECT rect = MeasureDialogText(dialog, text, width, DT_WORDBREAK | DT_CENTER | DT_EXPANDTABS | DT_NOPREFIX);
    const LONG lineHeight = DialogUnitsToPixels(dialog, 0, 0, 0, LineHeight).bottom;
    const LONG height = lineHeight > 0 ? lineHeight : 1;
    const int lines = static_cast<int>((rect.bottom - rect.top + height - 1) / height);
    return lines > 0 ? lines : 1;
}

// A row of its own right above the result field, holding one centred text as
// wide as the field, and as high as sized needs. Returns the text's control.
HWND addTextRow(HWND dialog, int id, const char* text, const char* sized, HWND after) {
    HWND field = GetDlgItem(dialog, IDC_RESULT);
    if (field == nullptr)
        return nullptr;
    RECT fieldRect = {};
    GetWindowRect(field, &fieldRect);
    const int lines = linesOf(dialog, sized, fieldRect.right - fieldRect.left);
    const RECT row = InsertRowAbove(dialog, field, RowGap + lines * LineHeight);
    const RECT units = DialogUnitsToPixels(dialog, 0, RowGap, 0, lines * LineHeight);
    const RECT rect = {row.left, row.top + units.top, row.right, row.top + units.bottom};
    return CreateDialogControl(dialog, "Static", id, text, WS_GROUP | LineStyle, rect, after);
}

// The control right before the result field, after which a row's text
// follows in the tab order.
HWND beforeField(HWND dialog) {
    HWND field = GetDlgItem(dialog, IDC_RESULT);
    HWND before = field != nullptr ? GetWindow(field, GW_HWNDPREV) : nullptr;
    return before != nullptr ? before : HWND_TOP;
}

}  // namespace

void FormatEmulationNote(const char* emulatedOn, const char* lineEnd, char* text, size_t room) {
    FormatText(text, room,
               "Emuliert (%s): MHZ ist der Takt des emulierten Zeitstempels, der Kerntakt ist nicht messbar /%s"
               "Emulated (%s): MHZ is the emulated counter's rate, the core clock cannot be measured",
               emulatedOn, lineEnd, emulatedOn);
}

void FormatProcessorLine(const char* name, const char* emulatedOn, char* text, size_t room) {
    if (emulatedOn == nullptr) {
        FormatText(text, room, "%s", name);
        return;
    }
    char note[256];
    FormatEmulationNote(emulatedOn, "\n", note, sizeof note);
    FormatText(text, room, "%s\n%s", name, note);
}

void FormatEmulatedCoreText(const char* emulatedOn, char* text, size_t room) {
    FormatText(text, room, "Emuliert (%s): nicht messbar /\nEmulated (%s): not measurable", emulatedOn, emulatedOn);
}

void AddProcessorRows(HWND dialog, const char* name, const char* emulatedOn, int kinds) {
    char text[512];
    FormatProcessorLine(name, emulatedOn, text, sizeof text);
    addTextRow(dialog, IDC_PROCESSOR_NAME, text, text, beforeField(dialog));
    if (kinds < 2)
        return;
    FormatClassLegend(kinds, text, sizeof text);
    addTextRow(dialog, IDC_CLASS_LEGEND, text, text, beforeField(dialog));
}

void AddRatedRows(HWND dialog, const char* rated, const char* caps) {
    const ClockVerdict longest = {true, 100.0, 99999, true};
    char verdict[128];
    FormatVerdict(longest, verdict, sizeof verdict);
    char sized[512];
    FormatText(sized, sizeof sized, "%s\n%s", rated, verdict);
    addTextRow(dialog, IDC_RATED_CLOCKS, rated, sized, beforeField(dialog));
    addTextRow(dialog, IDC_POWER_CAPS, caps, caps, beforeField(dialog));
}
