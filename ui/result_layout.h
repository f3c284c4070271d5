#pragma once
#include <windows.h>

// Where the two result rows and the controls around them go for a given
// number of values. Each row is a field with a label under it: the time-stamp
// rates over the unit label, then the core clocks over theirs. A field holds
// four values to a line, and both fields always show the same lines, so that
// a processor's two values stand one above the other. One line is what the
// dialog was made for; each further line makes both fields one line taller,
// moves everything below each down by as much and makes the group box and the
// dialog two lines taller. Once the dialog would no longer fit in the work
// area, the fields keep the lines that fit and scroll through the rest.
// Pure arithmetic on pixels: the live dialog supplies the numbers.

const int ResultColumns = 4;

// The most values a one-line field shows whole as the static control draws
// it, centred with its tabs expanded to stops eight characters apart: four
// values of ten characters take about 57 characters where the field has room
// for 49, so from four values on the field draws them in its columns.
const int PlainValues = 3;

// The parts that move, in client pixels of the dialog, and the height of
// the dialog's client area.
struct ResultAreaParts {
    RECT field;
    RECT groupBox;
    RECT unitLabel;
    RECT coreField;
    RECT coreLabel;
    RECT siteLink;
    int clientHeight;
};

// The number of result rows: time-stamp rates and core clocks.
const int ResultRows = 2;

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
    int visibleLines;   // lines each field shows at once
    int lineHeight;
    int textTop;        // top of the first shown line in the field's client area
    int columnWidth;    // each value is right-aligned in a column this wide
    int valueMargin;    // kept free right of each value
    bool scrolls;       // the fields have a vertical scroll bar
};

// The layout for values values, from the parts as the dialog was laid out
// for one line. With at most ResultColumns values, the parts stay exactly as
// given.
ResultLayout LayOutResults(LONG values, const ResultAreaParts& original, const ResultScreen& screen);

// The rectangle, in a field's client area, in which the value of the given
// line and column is drawn while topLine is the first line shown. Lines
// outside the shown ones lie outside the field. Both fields have the same
// width and height, so a cell is the same in either.
RECT ResultCell(const ResultLayout& layout, int line, int column, int topLine);

// The first line that can be shown at the top: the lines after it fill the
// field.
inline int LastTopLine(const ResultLayout& layout) {
    return layout.lines - layout.visibleLines;
}
