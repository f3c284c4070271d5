#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "support/dialog_template.h"
#include "support/platform_guard.h"

const int LabelId = 1003;

// A hidden dialog made from a template in memory, holding one control of
// 'className' (a static unless told) with the given style and text. Its
// procedure answers WM_CTLCOLORSTATIC with a white brush and records the
// WM_COMMAND and WM_NOTIFY messages it receives. A label bound to the
// control is declared before the dialog, as the program's dialog holds its
// label, so that the window goes before the label.
class TestDialog {
public:
    TestDialog(DWORD style, const char* text, const char* className = "Static");
    ~TestDialog();
    TestDialog(const TestDialog&) = delete;
    TestDialog& operator=(const TestDialog&) = delete;

    HWND dialog() const { return dialog_; }
    HWND label() const { return label_; }

    struct Notice {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        NMHDR header;  // a copy, for WM_NOTIFY
    };
    static std::vector<Notice>& notices();

private:
    DialogTemplate template_;
    HWND dialog_ = nullptr;
    HWND label_ = nullptr;
};

// The client area of 'window' as painted by WM_PRINTCLIENT, one 0x00RRGGBB
// value per pixel, rows from the top.
struct Rendering {
    int width = 0;
    int height = 0;
    std::vector<DWORD> pixels;
    DWORD at(int x, int y) const { return pixels[y * width + x]; }
};
Rendering renderClient(HWND window);

// 0x00RRGGBB of a COLORREF (0x00BBGGRR).
DWORD rgbOf(COLORREF colour);
