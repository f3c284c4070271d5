#pragma once

#include <windows.h>

// The pointing-hand cursor shown over a live link: 32 x 32, monochrome, a
// white hand with a black outline, index finger up, hot spot on the left
// pixel of the fingertip.
const int HandCursorSize = 32;
const int HandCursorHotSpotX = 5;
const int HandCursorHotSpotY = 0;

// The two planes, 32 rows of 4 bytes from the top row down, the most
// significant bit of a byte the leftmost pixel. AND 0 / XOR 0 is black,
// AND 0 / XOR 1 white, AND 1 / XOR 0 the screen.
extern const BYTE HandCursorAndPlane[HandCursorSize * 4];
extern const BYTE HandCursorXorPlane[HandCursorSize * 4];

// Creates the cursor for 'instance'; null when the platform refuses.
// The caller destroys it with DestroyCursor.
HCURSOR createHandCursor(HINSTANCE instance);
