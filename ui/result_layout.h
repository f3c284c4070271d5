#pragma once
#include <windows.h>

// Where the result field and the controls around it go for a given number of
// values. The field holds four values to a line. One line is what the dialog
// was made for; each further line makes the field one line taller, moves the
// unit label and the site link down by as much and makes the group box and
// the dialog as much taller. Once the dialog would no longer fit in the work
// area, the field keeps the lines that fit and scrolls through the rest.
// Pure arithmetic on pixels: the live dialog supplies the numbers.

const int ResultColumns = 4;

// The parts that move, in client pixels of the dialog, and the height of
// the dialog's client area.
struct ResultAreaParts {
    RECT field;
    RECT groupBox;
    RECT unitLabel;
    RECT siteLink;
    int clientHeight;
};

// What the layout needs to know of the screen, in pixels.
struct ResultScreen {
    int lineHeight;      // the dialog font's height: 8 vertical dialog units
    int charWidth;       // the dialog font's average character width: 4 horizontal units
    int workAreaHeight;
    int frameHeight;     // the dialog window's height less its client height
    int scrollBarWidth;  // SM_CXVSCROLL
};

struct ResultLayout {
    ResultAreaParts parts;
    int lines;          // all lines of the text
    int visibleLines;   // lines the field shows at once
    int lineHeight;
    int textTop;        // top of the first shown line in the field's client area
    int columnWidth;    // each value is right-aligned in a column this wide
    int valueMargin;    // kept free right of each value
    bool scrolls;       // the field has a vertical scroll bar
};

// The layout for values values, from the parts as the dialog was made (one
// line). With at most ResultColumns values, the parts stay exactly as given.
ResultLayout LayOutResults(LONG values, const ResultAreaParts& original, const ResultScreen& screen);

// The rectangle, in the field's client area, in which the value of the given
// line and column is drawn while topLine is the first line shown. Lines
// outside the shown ones lie outside the field.
RECT ResultCell(const ResultLayout& layout, int line, int column, int topLine);

// The first line that can be shown at the top: the lines after it fill the
// field.
inline int LastTopLine(const ResultLayout& layout) {
    return layout.lines - layout.visibleLines;
}
