#include "dialog_layout.h"

#include <algorithm>
#include <sstream>

#include "ui/result_layout.h"

namespace {

std::string textOf(HWND window) {
    const int length = GetWindowTextLengthA(window);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(window, &text[0], length + 1)));
    return text;
}

std::string classOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string describe(HWND control) {
    std::string text = textOf(control);
    if (text.size() > 24)
        text = text.substr(0, 24) + "...";
    for (char& c : text)
        if (c == '\t' || c == '\r' || c == '\n')
            c = ' ';
    std::ostringstream out;
    out << "control " << GetDlgCtrlID(control) << " (" << classOf(control) << " \"" << text << "\")";
    return out.str();
}

std::string sizeOf(LONG width, LONG height) {
    std::ostringstream out;
    out << width << " x " << height;
    return out.str();
}

std::string rectText(const RECT& r) {
    std::ostringstream out;
    out << "(" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom << ")";
    return out.str();
}

RECT rectIn(HWND dialog, HWND child) {
    RECT rect = {};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool encloses(const RECT& outer, const RECT& inner) {
    return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
           outer.bottom >= inner.bottom;
}

// Measures texts in a control's own font.
class TextMeasure {
public:
    explicit TextMeasure(HWND control) : control_(control), dc_(GetDC(control)) {
        HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0));
        previous_ = SelectObject(dc_, font != nullptr ? font : GetStockObject(SYSTEM_FONT));
        GetTextMetricsA(dc_, &metrics_);
    }
    ~TextMeasure() {
        SelectObject(dc_, previous_);
        ReleaseDC(control_, dc_);
    }
    TextMeasure(const TextMeasure&) = delete;
    TextMeasure& operator=(const TextMeasure&) = delete;

    // The rectangle DrawText fills with the text in the format given, in a box this wide.
    RECT extent(const std::string& text, UINT format, LONG width) {
        RECT rect = {0, 0, width, 0};
        DrawTextA(dc_, text.c_str(), static_cast<int>(text.size()), &rect, format | DT_CALCRECT);
        return rect;
    }
    const TEXTMETRICA& metrics() const { return metrics_; }

private:
    HWND control_;
    HDC dc_;
    HGDIOBJ previous_;
    TEXTMETRICA metrics_;
};

void expectWithin(std::vector<std::string>& faults, HWND control, const std::string& what,
                  const RECT& extent, LONG width, LONG height) {
    const LONG needWidth = extent.right - extent.left;
    const LONG needHeight = extent.bottom - extent.top;
    if (needWidth > width || needHeight > height)
        faults.push_back(describe(control) + ": " + what + " takes " + sizeOf(needWidth, needHeight) +
                         ", the control gives " + sizeOf(width, height));
}

// How a static control draws its text.
UINT staticFormat(LONG style) {
    UINT format = DT_EXPANDTABS | DT_WORDBREAK;
    switch (style & SS_TYPEMASK) {
    case SS_CENTER: format |= DT_CENTER; break;
    case SS_RIGHT: format |= DT_RIGHT; break;
    case SS_SIMPLE: format = DT_SINGLELINE; break;
    case SS_LEFTNOWORDWRAP: format = DT_EXPANDTABS; break;
    }
    if (style & SS_CENTERIMAGE)
        format = (format & ~DT_WORDBREAK) | DT_SINGLELINE | DT_VCENTER;
    if (style & SS_NOPREFIX)
        format |= DT_NOPREFIX;
    return format;
}

bool isTextStatic(LONG style) {
    const LONG type = style & SS_TYPEMASK;
    return type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT || type == SS_SIMPLE ||
           type == SS_LEFTNOWORDWRAP;
}

// Values in lines (line breaks between them) and columns (tabs between them): the columns
// share the width equally, each value with a character's room beside it, and every line is
// shown unless the control scrolls.
void checkColumns(std::vector<std::string>& faults, HWND control, const std::string& text) {
    TextMeasure measure(control);
    RECT client;
    GetClientRect(control, &client);
    LONG widest = 0;
    size_t lines = 1, columns = 1, column = 1;
    std::string value;
    for (size_t i = 0; i <= text.size(); ++i) {
        const char c = i < text.size() ? text[i] : '\0';
        if (c != '\0' && c != '\t' && c != '\r' && c != '\n') {
            value += c;
            continue;
        }
        const RECT extent = measure.extent(value, DT_SINGLELINE | DT_NOPREFIX, 0);
        if (extent.right - extent.left > widest)
            widest = extent.right - extent.left;
        value.clear();
        if (c == '\t') {
            ++column;
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            ++lines;
            column = 1;
        }
        if (column > columns)
            columns = column;
    }
    const LONG lineHeight = measure.metrics().tmHeight;
    const bool scrolls = (GetWindowLongA(control, GWL_STYLE) & WS_VSCROLL) != 0;
    RECT needed = {0, 0, static_cast<LONG>(columns) * (widest + measure.metrics().tmAveCharWidth),
                   (scrolls ? 1 : static_cast<LONG>(lines)) * lineHeight};
    std::ostringstream what;
    what << lines << " lines of " << columns << " values, the widest " << widest << " wide,";
    expectWithin(faults, control, what.str(), needed, client.right, client.bottom);
}

void checkStatic(std::vector<std::string>& faults, HWND control) {
    const LONG style = GetWindowLongA(control, GWL_STYLE);
    const std::string text = textOf(control);
    if (!isTextStatic(style) || text.empty())
        return;
    // The result fields draw their values in columns once there are lines of them, or more
    // than a centred line shows whole.
    const size_t values = 1 + std::count(text.begin(), text.end(), '\t') + std::count(text.begin(), text.end(), '\n');
    if (text.find('\t') != std::string::npos &&
        (text.find('\n') != std::string::npos || values > static_cast<size_t>(PlainValues))) {
        checkColumns(faults, control, text);
        return;
    }
    RECT client;
    GetClientRect(control, &client);
    TextMeasure measure(control);
    expectWithin(faults, control, "its text", measure.extent(text, staticFormat(style), client.right),
                 client.right, client.bottom);
}

void checkButton(std::vector<std::string>& faults, HWND control) {
    const LONG style = GetWindowLongA(control, GWL_STYLE);
    const LONG type = style & BS_TYPEMASK;
    const std::string text = textOf(control);
    if (text.empty())
        return;
    RECT client;
    GetClientRect(control, &client);
    TextMeasure measure(control);
    if (type == BS_GROUPBOX) {
        expectWithin(faults, control, "its caption", measure.extent(text, DT_SINGLELINE, 0),
                     client.right, client.bottom);
    } else if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) {
        // Inside the button's raised edge.
        const LONG width = client.right - 2 * GetSystemMetrics(SM_CXEDGE);
        const LONG height = client.bottom - 2 * GetSystemMetrics(SM_CYEDGE);
        const UINT format = (style & BS_MULTILINE) ? DT_CENTER | DT_WORDBREAK : DT_CENTER | DT_SINGLELINE;
        expectWithin(faults, control, "its text", measure.extent(text, format, width), width, height);
    }
}

void checkComboBox(std::vector<std::string>& faults, HWND control) {
    COMBOBOXINFO info = {};
    info.cbSize = sizeof info;
    if (!GetComboBoxInfo(control, &info)) {
        faults.push_back(describe(control) + ": no combo box information");
        return;
    }
    const LONG width = info.rcItem.right - info.rcItem.left;
    const LONG height = info.rcItem.bottom - info.rcItem.top;
    TextMeasure measure(control);
    const LRESULT count = SendMessageA(control, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageA(control, CB_GETLBTEXTLEN, i, 0);
        if (length <= 0)
            continue;
        std::string entry(static_cast<size_t>(length) + 1, '\0');
        SendMessageA(control, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(&entry[0]));
        entry.resize(static_cast<size_t>(length));
        expectWithin(faults, control, "entry \"" + entry + "\"",
                     measure.extent(entry, DT_SINGLELINE | DT_NOPREFIX, 0), width, height);
    }
}

}  // namespace

std::vector<std::string> LayoutFaults(HWND dialog) {
    std::vector<std::string> faults;

    RECT work = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    RECT frame = {};
    GetWindowRect(dialog, &frame);
    if (!encloses(work, frame))
        faults.push_back("the dialog " + rectText(frame) + " lies outside the work area " + rectText(work));

    RECT client = {};
    GetClientRect(dialog, &client);
    std::vector<HWND> controls;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        if (GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE)
            controls.push_back(child);

    for (size_t i = 0; i < controls.size(); ++i) {
        HWND control = controls[i];
        const RECT rect = rectIn(dialog, control);
        if (!encloses(client, rect))
            faults.push_back(describe(control) + " at " + rectText(rect) +
                             " lies outside the dialog's client area " + rectText(client));
        for (size_t j = i + 1; j < controls.size(); ++j) {
            const RECT other = rectIn(dialog, controls[j]);
            RECT common;
            if (IntersectRect(&common, &rect, &other) && !encloses(rect, other) && !encloses(other, rect))
                faults.push_back(describe(control) + " at " + rectText(rect) + " overlaps " +
                                 describe(controls[j]) + " at " + rectText(other));
        }

        const std::string name = classOf(control);
        if (lstrcmpiA(name.c_str(), "Static") == 0)
            checkStatic(faults, control);
        else if (lstrcmpiA(name.c_str(), "Button") == 0)
            checkButton(faults, control);
        else if (lstrcmpiA(name.c_str(), "ComboBox") == 0)
            checkComboBox(faults, control);
    }
    return faults;
}
