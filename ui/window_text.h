#pragma once
#include <windows.h>

// A window's text, copied onto the heap when the object is made and freed
// with it. The text of a result row can run to a quarter of a megabyte, far
// more than a buffer on the stack should hold.
class WindowText {
public:
    explicit WindowText(HWND window);
    ~WindowText() { delete[] text_; }
    WindowText(const WindowText&) = delete;
    WindowText& operator=(const WindowText&) = delete;

    // The text; null when there was no room for it.
    const char* text() const { return text_; }

private:
    char* text_;
};
