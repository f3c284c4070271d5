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

// The hand drawn at another size: each pixel is the one of the 32 x 32 picture that it
// covers, so that the hand keeps its shape and outline at every size and is the picture
// itself at 32 x 32. Rows are padded to whole 16-bit words, as CreateCursor takes them.
const int HandCursorLargest = 256;
struct HandCursorPicture {
    int width;
    int height;
    int hotSpotX;  // the left pixel of the fingertip, in the top row
    int hotSpotY;
    BYTE andPlane[HandCursorLargest * HandCursorLargest / 8];
    BYTE xorPlane[HandCursorLargest * HandCursorLargest / 8];
};

// Draws the hand at width x height pixels, each kept within 1 to HandCursorLargest.
void drawHandCursor(int width, int height, HandCursorPicture& picture);

// Creates the cursor for 'instance' at the size the system gives cursors (SM_CXCURSOR,
// SM_CYCURSOR), the only size it can create them at; it grows with the screen's DPI. Null
// when the platform refuses. The caller destroys it with DestroyCursor.
HCURSOR createHandCursor(HINSTANCE instance);
