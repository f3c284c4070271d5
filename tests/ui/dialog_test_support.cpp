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
    char text[20000];
    int length = GetWindowTextA(GetDlgItem(dialog, id), text, sizeof text);
    return std::string(text, length > 0 ? length : 0);
}
