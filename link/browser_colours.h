#pragma once

#include <windows.h>

// Reads the browser's link colours ("Anchor Color" and "Anchor Color
// Visited", each "red,green,blue") from the current user's settings. Each
// colour is left unchanged when its value is absent, does not fit in 12 bytes
// with its terminator, or is not a triple; both stay when the key cannot be
// opened.
void readBrowserColours(COLORREF& linkColour, COLORREF& visitedColour);
