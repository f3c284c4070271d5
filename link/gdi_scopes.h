#pragma once

#include <windows.h>

// A window's device context, released when the scope ends.
class WindowDC {
public:
    explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDC()
    {
        if (dc_)
            ReleaseDC(window_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    operator HDC() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// Objects selected into a device context; the object the context held before
// the first selection is selected again when the scope ends. A null object is
// not selected, so the context keeps what it has.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc) { select(object); }
    ~SelectedObject()
    {
        if (original_)
            SelectObject(dc_, original_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

    void select(HGDIOBJ object)
    {
        if (!object)
            return;
        HGDIOBJ previous = SelectObject(dc_, object);
        if (!original_)
            original_ = previous;
    }

private:
    HDC dc_;
    HGDIOBJ original_ = nullptr;
};
