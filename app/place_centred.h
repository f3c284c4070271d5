#ifndef ZYK_APP_PLACE_CENTRED_H
#define ZYK_APP_PLACE_CENTRED_H

#include <windows.h>

// Moves window, without resizing, activating or changing its z-order, so
// that it is centred on centre and lies inside the area it may occupy: the
// parent's client area for a child window, otherwise the work area. With a
// null centre a child uses its parent and any other window its owner. A
// hidden or minimised centre of a top-level window, or none, means the work
// area. Returns the result of SetWindowPos.
BOOL placeCentred(HWND window, HWND centre);

#endif
