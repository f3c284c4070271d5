#pragma once
#include <windows.h>

#include <functional>
#include <string>

// Helpers for tests that open the program's dialogs inside the test process.

// Dispatches this thread's messages, through filter when it is given, until
// done() holds or timeoutMs pass. Returns done().
bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMs,
               const std::function<BOOL(MSG*)>& filter = nullptr);

// Removes every waiting message of this thread, WM_QUIT included; returns
// the wParam of the last WM_QUIT seen, or -1.
WPARAM drainMessages();

std::string controlText(HWND dialog, int id);

// Deletes the program's remembered settings under HKCU.
void forgetRememberedSettings();
// The REG_SZ text of a remembered value, "<missing>" when absent.
std::string rememberedValue(const char* name);
bool rememberedSettingsExist();

// Starts the application module, by default with this program's resources,
// and the common controls the link label needs; shuts the module down on
// destruction.
class ModuleScope {
public:
    explicit ModuleScope(HINSTANCE resources = GetModuleHandleA(nullptr));
    ~ModuleScope();
    ModuleScope(const ModuleScope&) = delete;
    ModuleScope& operator=(const ModuleScope&) = delete;
    bool started() const { return started_; }

private:
    bool started_;
};
