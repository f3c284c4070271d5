#include "dialog_test_support.h"

WPARAM drainMessages() {
    WPARAM quit = static_cast<WPARAM>(-1);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT)
            quit = message.wParam;
        else
            DispatchMessageA(&message);
    }
    return quit;
}

std::string controlText(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    std::string text(GetWindowTextLengthA(control) + 1, '\0');
    int length = GetWindowTextA(control, &text[0], static_cast<int>(text.size()));
    text.resize(length > 0 ? length : 0);
    return text;
}
