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

// A memory device context compatible with another, deleted when the scope ends.
class MemoryDC {
public:
    explicit MemoryDC(HDC like) : dc_(CreateCompatibleDC(like)) {}
    ~MemoryDC()
    {
        if (dc_)
            DeleteDC(dc_);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    operator HDC() const { return dc_; }

private:
    HDC dc_;
};

// Objects selected into a device context; the object the context held before
// the first selection is selected again when the scope ends. A null object is
// not selected, so the context keeps what it has. It remembers one object, so
// select objects of one kind through it: a pen and a brush need a scope each.
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

// A GDI object the scope created (pen, brush, font, bitmap), deleted when it ends; it must no
// longer be selected into a context by then, so declare it before the SelectedObject that
// selects it.
class OwnedGdiObject {
public:
    explicit OwnedGdiObject(HGDIOBJ object) : object_(object) {}
    ~OwnedGdiObject()
    {
        if (object_)
            DeleteObject(object_);
    }
    OwnedGdiObject(const OwnedGdiObject&) = delete;
    OwnedGdiObject& operator=(const OwnedGdiObject&) = delete;
    operator HGDIOBJ() const { return object_; }

private:
    HGDIOBJ object_;
};
