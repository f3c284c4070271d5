#pragma once
#include <windows.h>

#include "ui/result_field.h"
#include "ui/result_layout.h"

// The result field of the live main dialog and the controls that make room
// for it: with more than four values the field shows one line per four
// values, the controls below it move down, the group box and the dialog
// grow, and the dialog is kept inside the work area (ui/result_layout.h).
// With up to four values the dialog stays as it was made.
class ResultArea {
public:
    ResultArea();

    // Notes where the parts are while the dialog is as it was made.
    void capture(HWND dialog);
    // Lays the dialog out for the given number of values. Until a count of
    // more than four comes, nothing is touched.
    void arrange(HWND dialog, LONG values);

    const ResultField& field() const { return resultField; }
    const ResultLayout& layout() const { return shownLayout; }

private:
    ResultScreen screenOf(HWND dialog) const;
    void resizeDialog(HWND dialog, int clientHeight) const;

    ResultField resultField;
    ResultAreaParts original;
    ResultLayout shownLayout;
    HWND groupBox;
    int frameHeight;
    bool captured;
};
