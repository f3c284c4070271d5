#pragma once
#include <windows.h>

#include "ui/result_field.h"
#include "ui/result_layout.h"

// The result rows of the live main dialog and the controls that make room
// for them. The template has one row, the time-stamp rates (field 1002 over
// the unit label 1004); the dialog adds a second below it when it opens, the
// core clocks (field 1005 over the label 1006), and grows by one row. From
// four values on, each field draws its values in columns, four to a line.
// With more than four, each field shows one line per four values, the
// controls below them move down, the group box and the dialog grow, and the
// dialog is kept inside the work area (ui/result_layout.h). With up to four
// values the dialog stays as it opened.
class ResultArea {
public:
    ResultArea();

    // Adds the core clocks' row below the unit label, laid out as the row
    // above it, and makes the group box and the dialog one row taller and the
    // site link one row lower. Call before the dialog is placed, so that it is
    // placed with its full height. With a text, the row shows that text, in
    // up to two lines, in place of any value, for good.
    void addCoreRow(HWND dialog, const char* coreText = nullptr);
    // Notes where the parts are while the dialog shows one line.
    void capture(HWND dialog);
    // Names the core clocks' row after the kind of test whose results it
    // shows: all processors at once, or one by one.
    void labelCoreRow(HWND dialog, bool oneByOne) const;
    // Lays the dialog out for the given number of values. Until a count of
    // more than three comes, nothing is touched.
    void arrange(HWND dialog, LONG values);

    const ResultField& field() const { return resultField; }
    const ResultField& coreField() const { return coreClockField; }
    const ResultLayout& layout() const { return shownLayout; }

private:
    ResultScreen screenOf(HWND dialog) const;
    void resizeDialog(HWND dialog, int clientHeight) const;

    ResultField resultField;
    ResultField coreClockField;
    ResultAreaParts original;
    ResultLayout shownLayout;
    HWND groupBox;
    int frameHeight;
    bool captured;
    // The core clocks' row shows a text instead of values.
    bool coreTextShown;
};
