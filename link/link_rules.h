#pragma once

#include <windows.h>

// The label's decisions that need no window: which statics draw themselves,
// how the text is aligned, and which colour and font the link is drawn in.

// Whether a static control of this style is left to the label to draw. Image
// and frame types (SS_ICON to SS_WHITEFRAME, SS_OWNERDRAW, SS_BITMAP,
// SS_ENHMETAFILE) paint themselves. All eight low bits are read as one number,
// so a type combined with SS_NOPREFIX or another bit in 0x20-0x80 still counts
// as text.
bool staticStyleDrawsLink(LONG style);

// DT_CENTER for SS_CENTER, else DT_RIGHT for SS_RIGHT, else 0.
UINT alignmentFormat(LONG style);

// How far to move a rectangle measured from the client area's left edge so
// that it sits as the style aligns it; the division truncates toward zero.
LONG alignmentShift(LONG style, LONG clientRight, LONG measuredRight);

// A disabled window greys the link even when visited; there is no hover colour.
COLORREF chooseLinkColour(bool enabled, bool visited, COLORREF linkColour, COLORREF visitedColour,
                          COLORREF grayText);

// The link font, unless there is none or, under HoverOnlyStyle, the pointer is
// not over the link.
HFONT chooseLinkFont(HFONT linkFont, HFONT textFont, DWORD options, BYTE state);

// Turns the description of the text font into that of the link font.
void deriveLinkFontDescription(LOGFONTA& font, DWORD options);
