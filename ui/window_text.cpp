#include "ui/window_text.h"

#include <new>

WindowText::WindowText(HWND window) : text_(nullptr) {
    const int length = GetWindowTextLengthA(window);
    text_ = new (std::nothrow) char[length + 1];
    if (text_ != nullptr) {
        text_[0] = '\0';
        GetWindowTextA(window, text_, length + 1);
    }
}
