#include "app/dpi_awareness.h"

#include <windows.h>

#include "app/app_platform.h"

namespace {

// DPI_AWARENESS_CONTEXT is a handle; the headers of the oldest systems do not know it.
typedef BOOL(WINAPI* SetProcessDpiAwarenessContextProc)(HANDLE);
typedef BOOL(WINAPI* SetProcessDPIAwareProc)();

// DPI_AWARENESS_CONTEXT_SYSTEM_AWARE.
const HANDLE SystemAwareContext = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-2));

} // namespace

void DeclareDpiAwareness()
{
    AppPlatform& platform = appPlatform();
    // Loaded for as long as the program runs: it imports from it.
    HMODULE user = platform.GetModuleHandleA("USER32.DLL");
    if (user == nullptr)
        return;

    // Aware of the DPI of the system, the primary screen's when the program starts, not of
    // each screen's: the dialog, its link and its result rows are laid out once, in fonts
    // made for that DPI. On a screen of another DPI Windows scales the window as a picture.
    // Per-screen awareness would have to lay all of them out again, with new fonts, at each
    // move between screens of different DPI.
    FARPROC entry = platform.GetProcAddress(user, "SetProcessDpiAwarenessContext");
    if (entry != nullptr) {
        reinterpret_cast<SetProcessDpiAwarenessContextProc>(reinterpret_cast<void*>(entry))(
            SystemAwareContext);
        return;
    }
    entry = platform.GetProcAddress(user, "SetProcessDPIAware");
    if (entry != nullptr)
        reinterpret_cast<SetProcessDPIAwareProc>(reinterpret_cast<void*>(entry))();
}
