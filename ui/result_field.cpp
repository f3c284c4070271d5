#include "ui/result_field.h"

#include <string.h>

#include "link/gdi_scopes.h"
#include "ui/window_text.h"

namespace {

// Lines one turn of the mouse wheel scrolls.
const int WheelLines = 3;

// The end of the value that starts at text: the next tab, CR, LF or the end.
const char* valueEnd(const char* text) {
    while (*text != '\0' && *text != '\t' && *text != '\r' && *text != '\n')
        ++text;
    return text;
}

// The width of text as a static control draws it, its tabs expanded to the
// default stops of eight average characters.
int tabbedWidth(HDC dc, const char* text, size_t length) {
    if (length == 0)
        return 0;
    return LOWORD(GetTabbedTextExtentA(dc, text, static_cast<int>(length), 0, nullptr));
}

// Fills a field with the brush its dialog gives static controls; returns its
// client area.
RECT fillBackground(HWND window, HDC dc) {
    RECT client;
    GetClientRect(window, &client);
    HBRUSH brush = reinterpret_cast<HBRUSH>(SendMessageA(
        GetParent(window), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(window)));
    if (brush != nullptr)
        FillRect(dc, &client, brush);
    return client;
}

// Where a one-line static control that centres its text and expands its tabs
// draws the values of text (separated by tabs) across a width: the left and
// right edge of each of the first `room` values. Returns how many there are.
struct ValueSpan {
    int left;
    int right;
};

int valueSpansOf(HDC dc, const char* text, int width, ValueSpan* spans, int room) {
    const int left = (width - tabbedWidth(dc, text, strlen(text))) / 2;
    int count = 0;
    for (const char* value = text; count < room;) {
        const char* end = valueEnd(value);
        spans[count].left = left + tabbedWidth(dc, text, value - text);
        spans[count].right = spans[count].left + tabbedWidth(dc, value, end - value);
        ++count;
        if (*end != '\t')
            break;
        value = end + 1;
    }
    return count;
}

}  // namespace

ResultField::ResultField()
    : linesShown(false), layout(), top(0), plainTabStop(false), partner(nullptr), alignedWith(nullptr) {
}

void ResultField::showLines(const ResultLayout& newLayout) {
    if (!linesShown)
        plainTabStop = (GetWindowLongA(window(), GWL_STYLE) & WS_TABSTOP) != 0;
    linesShown = true;
    alignedWith = nullptr;
    layout = newLayout;
    if (top > LastTopLine(layout))
        top = LastTopLine(layout);
    // Only a field that scrolls has anything to do with the keyboard.
    showAnew(layout.scrolls || plainTabStop);
}

void ResultField::showUnder(HWND above) {
    showPlain();
    alignedWith = above;
}

void ResultField::showPlain() {
    linesShown = false;
    alignedWith = nullptr;
    layout = ResultLayout();
    top = 0;
    showAnew(plainTabStop);
}

void ResultField::showAnew(bool tabStop) {
    HWND field = window();
    updateScrollBar();
    const LONG style = GetWindowLongA(field, GWL_STYLE);
    SetWindowLongA(field, GWL_STYLE, tabStop ? style | WS_TABSTOP : style & ~WS_TABSTOP);
    InvalidateRect(field, nullptr, TRUE);
}

BOOL ResultField::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                LRESULT& result, DWORD tableId) {
    if (tableId != 0 || (!linesShown && alignedWith == nullptr))
        return FALSE;
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paintInfo;
        HDC dc = BeginPaint(window, &paintInfo);
        if (dc != nullptr && linesShown)
            paint(window, dc);
        else if (dc != nullptr)
            paintUnder(window, dc);
        EndPaint(window, &paintInfo);
        result = 0;
        return TRUE;
    }
    case WM_ERASEBKGND:
        // The whole field is filled when it is painted.
        result = 1;
        return TRUE;
    case WM_SETTEXT:
    case WM_ENABLE:
        // The static control would draw its single line at once: the text
        // is stored, and the lines drawn with the next paint.
        result = message == WM_SETTEXT ? DefWindowProcA(window, message, wParam, lParam) : 0;
        InvalidateRect(window, nullptr, TRUE);
        return TRUE;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        // For the focus rectangle; the static control sees them too.
        InvalidateRect(window, nullptr, TRUE);
        return FALSE;
    }
    if (!layout.scrolls)
        return FALSE;
    switch (message) {
    case WM_NCHITTEST:
        // The static control lets the mouse through to the dialog; the
        // scroll bar and the lines need it.
        result = DefWindowProcA(window, message, wParam, lParam);
        return TRUE;
    case WM_GETDLGCODE:
        result = DLGC_WANTARROWS;
        return TRUE;
    case WM_LBUTTONDOWN:
        SetFocus(window);
        result = 0;
        return TRUE;
    case WM_VSCROLL:
        result = 0;
        return scrolled(wParam);
    case WM_MOUSEWHEEL:
        scrollTo(top - GET_WHEEL_DELTA_WPARAM(wParam) * WheelLines / WHEEL_DELTA);
        result = 0;
        return TRUE;
    case WM_KEYDOWN:
        result = 0;
        return keyScrolled(wParam);
    }
    return FALSE;
}

void ResultField::paint(HWND window, HDC dc) {
    const RECT client = fillBackground(window, dc);

    const WindowText shown(window);
    if (shown.text() != nullptr) {
        SetBkMode(dc, TRANSPARENT);
        SelectedObject font(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(window, WM_GETFONT, 0, 0)));
        const char* value = shown.text();
        const int endLine = top + layout.visibleLines;
        for (int line = 0, column = 0; line < endLine;) {
            const char* end = valueEnd(value);
            if (line >= top && column < ResultColumns) {
                RECT cell = ResultCell(layout, line, column, top);
                DrawTextA(dc, value, static_cast<int>(end - value), &cell,
                          DT_RIGHT | DT_SINGLELINE | DT_NOPREFIX);
            }
            if (*end == '\0')
                break;
            if (*end == '\t') {
                ++column;
                value = end + 1;
                continue;
            }
            // CR LF, or either alone, ends the line.
            value = end + (end[0] == '\r' && end[1] == '\n' ? 2 : 1);
            ++line;
            column = 0;
        }
    }
    if (GetFocus() == window)
        DrawFocusRect(dc, &client);
}

void ResultField::paintUnder(HWND window, HDC dc) {
    const RECT client = fillBackground(window, dc);

    const WindowText shown(window);
    const WindowText above(alignedWith);
    if (shown.text() != nullptr && above.text() != nullptr) {
        SetBkMode(dc, TRANSPARENT);
        SelectedObject font(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(alignedWith, WM_GETFONT, 0, 0)));
        ValueSpan spans[ResultColumns];
        const int spanCount = valueSpansOf(dc, above.text(), client.right, spans, ResultColumns);
        const char* value = shown.text();
        for (int i = 0;; ++i) {
            const char* end = valueEnd(value);
            // A value without one above it, as while the two texts are set
            // one after the other, is centred in the field.
            RECT cell = client;
            if (i < spanCount) {
                cell.left = spans[i].left;
                cell.right = spans[i].right;
            }
            DrawTextA(dc, value, static_cast<int>(end - value), &cell,
                      DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
            if (*end != '\t')
                break;
            value = end + 1;
        }
    }
}

void ResultField::scrollTo(int line) {
    const int last = LastTopLine(layout);
    if (line > last)
        line = last;
    if (line < 0)
        line = 0;
    if (line == top)
        return;
    top = line;
    updateScrollBar();
    InvalidateRect(window(), nullptr, TRUE);
    if (partner != nullptr)
        partner->scrollTo(line);
}

bool ResultField::scrolled(WPARAM scrollCode) {
    switch (LOWORD(scrollCode)) {
    case SB_LINEUP: scrollTo(top - 1); return true;
    case SB_LINEDOWN: scrollTo(top + 1); return true;
    case SB_PAGEUP: scrollTo(top - layout.visibleLines); return true;
    case SB_PAGEDOWN: scrollTo(top + layout.visibleLines); return true;
    case SB_TOP: scrollTo(0); return true;
    case SB_BOTTOM: scrollTo(LastTopLine(layout)); return true;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: scrollTo(HIWORD(scrollCode)); return true;
    case SB_ENDSCROLL: return true;
    }
    return false;
}

bool ResultField::keyScrolled(WPARAM key) {
    switch (key) {
    case VK_UP: return scrolled(SB_LINEUP);
    case VK_DOWN: return scrolled(SB_LINEDOWN);
    case VK_PRIOR: return scrolled(SB_PAGEUP);
    case VK_NEXT: return scrolled(SB_PAGEDOWN);
    case VK_HOME: return scrolled(SB_TOP);
    case VK_END: return scrolled(SB_BOTTOM);
    }
    return false;
}

void ResultField::updateScrollBar() {
    // A page as large as the range hides the bar, and the field gets its
    // full width back.
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = 0;
    info.nMax = layout.scrolls ? layout.lines - 1 : 0;
    info.nPage = layout.scrolls ? static_cast<UINT>(layout.visibleLines) : 1;
    info.nPos = top;
    SetScrollInfo(window(), SB_VERT, &info, TRUE);
}
