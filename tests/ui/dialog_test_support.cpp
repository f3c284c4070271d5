#include "dialog_test_support.h"

#include <gtest/gtest.h>
#include <string.h>

#include "app/message_pump.h"

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

std::string clipboardText(HWND owner) {
    std::string text = "(no text)";
    if (!OpenClipboard(owner))
        return "(clipboard not opened)";
    HANDLE data = GetClipboardData(CF_TEXT);
    const char* locked = data != nullptr ? static_cast<const char*>(GlobalLock(data)) : nullptr;
    if (locked != nullptr) {
        text = locked;
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

void putOnClipboard(HWND owner, const char* text) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, strlen(text) + 1);
    memcpy(GlobalLock(memory), text, strlen(text) + 1);
    GlobalUnlock(memory);
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    SetClipboardData(CF_TEXT, memory);
    CloseClipboard();
}

bool pressCtrlC(MessagePump& pump, HWND to) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    MSG message = {};
    message.hwnd = to;
    message.message = WM_KEYDOWN;
    message.wParam = 'C';
    const bool consumed = pump.filterAll(&message) != FALSE;
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    return consumed;
}
