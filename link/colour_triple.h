#pragma once

#include <windows.h>

// Parses "red,green,blue" (decimal, as the browser stores its link colours)
// into a COLORREF; only the low 8 bits of each number count. Returns -1 when
// the text is not a triple. The two separating commas are overwritten with
// NULs, so the text is changed even when the parse fails.
COLORREF parseColourTriple(char* text);
