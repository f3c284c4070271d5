#pragma once
#include <windows.h>

#include <string>
#include <vector>

// What is wrong with a dialog as it is laid out on the screen now, whatever its controls and
// however they came to be, one sentence for each fault:
// - a text that does not fit its control: each static's, button's and list entry's text
//   measured in the control's own font, with the format the control draws it in, against
//   the room the control gives it; values in lines and columns (tabs between them, line
//   breaks after a line) against columns of equal width, each with a character's room
//   beside its value, and the lines against the control's height unless it scrolls;
// - a control outside the dialog's client area, or overlapping another, unless one
//   encloses the other (a group box and what it groups);
// - a dialog outside the work area.
// Controls without WS_VISIBLE are left out; the dialog itself may be hidden.
std::vector<std::string> LayoutFaults(HWND dialog);
