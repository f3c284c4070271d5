#include "ui/clipboard_text.h"

bool PutTextOnClipboard(HWND owner, ClipboardWriter write, const void* source) {
    return PutOnClipboard(owner, ClipboardTextOf(write, source));
}

HGLOBAL ClipboardTextOf(ClipboardWriter write, const void* source) {
    const size_t length = write(source, nullptr, 0);
    if (length == 0)
        return nullptr;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, length + 1);
    if (memory == nullptr)
        return nullptr;
    char* text = static_cast<char*>(GlobalLock(memory));
    if (text == nullptr) {
        GlobalFree(memory);
        return nullptr;
    }
    write(source, text, length + 1);
    GlobalUnlock(memory);
    return memory;
}

bool PutOnClipboard(HWND owner, HGLOBAL memory) {
    if (memory == nullptr)
        return false;
    // Once on the clipboard the memory is the system's; until then it is ours.
    if (!OpenClipboard(owner)) {
        GlobalFree(memory);
        return false;
    }
    EmptyClipboard();
    const bool placed = SetClipboardData(CF_TEXT, memory) != nullptr;
    CloseClipboard();
    if (!placed)
        GlobalFree(memory);
    return placed;
}

bool IsCopyKeystroke(const MSG& message) {
    return message.message == WM_KEYDOWN && message.wParam == 'C' && GetKeyState(VK_CONTROL) < 0
           && GetKeyState(VK_MENU) >= 0;
}
