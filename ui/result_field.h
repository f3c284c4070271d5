#pragma once
#include <windows.h>

#include "app/window_binding.h"
#include "ui/result_layout.h"

// The result field of the main dialog, a static control, once it shows more
// than one line. It then draws its window text itself: the lines of the text
// (CR LF between them) one below the other and the values of a line (tabs
// between them) right-aligned in columns, so that the decimal points line
// up. When the text has more lines than the field shows, the field has a
// vertical scroll bar, is a tab stop, takes the focus when clicked, and
// scrolls with the scroll bar, the mouse wheel and the Up, Down, Page Up,
// Page Down, Home and End keys.
// With one line, a field can instead draw its values each centred under the
// matching value of another one-line static control's text, as that control
// draws it (centred, tabs expanded), so that the values of two rows of the
// same layout stand one above the other whatever their lengths.
// In the plain state every message goes to the static control unchanged.
class ResultField : public SubclassBinding {
public:
    ResultField();

    // Draws the lines from now on, laid out as given. The window text is
    // kept; the first line shown stays where it was, within the new range.
    void showLines(const ResultLayout& layout);
    // Back to the static control's own drawing and styles.
    void showPlain();
    // One line, its values under those of the static control above.
    void showUnder(HWND above);

    // Another field that scrolls to the same line whenever this one scrolls.
    void scrollWith(ResultField* other) { partner = other; }

    bool drawsLines() const { return linesShown; }
    int topLine() const { return top; }

    BOOL handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                       LRESULT& result, DWORD tableId) override;

private:
    void paint(HWND window, HDC dc);
    void paintUnder(HWND window, HDC dc);
    // Shows the given first line, kept within the range; redraws on a change.
    void scrollTo(int line);
    bool scrolled(WPARAM scrollCode);
    bool keyScrolled(WPARAM key);
    void updateScrollBar();
    // Shows the field's new state: its scroll bar, whether Tab stops at it, its lines.
    void showAnew(bool tabStop);

    bool linesShown;
    ResultLayout layout;
    int top;
    // Whether the static control was a tab stop of its own.
    bool plainTabStop;
    ResultField* partner;
    // The static control whose values this one's stand under; null unless
    // shown that way.
    HWND alignedWith;
};
