#pragma once
#include <windows.h>

// Makes room in a dialog for a row of controls created at run time, right
// above the control below (a result row): every child whose top is at or
// below that control's top moves down by the row's height, a child that
// reaches across that line (the group box around them) grows by it, and the
// dialog grows by it. The height is in dialog units, so that the row scales
// with the dialog's font and the screen's DPI. Returns the row in the
// dialog's client coordinates, as wide as the control below; an empty
// rectangle, with nothing moved, when below is null.
RECT InsertRowAbove(HWND dialog, HWND below, int heightDialogUnits);

// A child's rectangle in the dialog's client coordinates.
RECT ChildRect(HWND dialog, HWND child);

// A rectangle given in dialog units, in the dialog's client pixels.
RECT DialogUnitsToPixels(HWND dialog, int x, int y, int width, int height);

// The rectangle a text takes in the dialog's font, from DrawText with DT_CALCRECT and the
// given flags; width is where DT_WORDBREAK wraps it.
RECT MeasureDialogText(HWND dialog, const char* text, LONG width, UINT flags);

// A child control of the given window class, visible, in the dialog's font and
// placed after another control in the tab order (or first, after HWND_TOP);
// null where it cannot be created.
HWND CreateDialogControl(HWND dialog, const char* className, int id, const char* text, DWORD style,
                         const RECT& rect, HWND after);
