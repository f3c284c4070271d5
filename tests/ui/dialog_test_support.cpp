#include "dialog_test_support.h"

#include <commctrl.h>

#include "app/app_module.h"
#include "ui/main_dialog.h"

bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMs,
               const std::function<BOOL(MSG*)>& filter) {
    DWORD startTick = GetTickCount();
    while (!done()) {
        if (GetTickCount() - startTick > timeoutMs)
            return done();
        MSG message;
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(message.wParam));
                return done();
            }
            if (filter && filter(&message))
                continue;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        } else {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }
    return true;
}

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

void forgetRememberedSettings() {
    RegDeleteKeyA(HKEY_CURRENT_USER, MainDialogStateKey);
}

std::string rememberedValue(const char* name) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, MainDialogStateKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "<missing>";
    char data[64] = {};
    DWORD type = 0, size = sizeof data - 1;
    LONG status = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS)
        return "<missing>";
    if (type != REG_SZ)
        return "<type " + std::to_string(type) + ">";
    // The value is stored without its zero; whether a reader gets one added
    // depends on the platform.
    return std::string(data);
}

bool rememberedSettingsExist() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, MainDialogStateKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

ModuleScope::ModuleScope(HINSTANCE resources) {
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_BAR_CLASSES | ICC_COOL_CLASSES};
    InitCommonControlsEx(&classes);
    started_ = appModule.startUp(resources) == S_OK;
}

ModuleScope::~ModuleScope() {
    appModule.shutDown();
}
