#pragma once
#include <windows.h>

// Saves or restores the states of a dialog's direct child controls, one
// registry value per control under HKEY_CURRENT_USER\keyPath, by window class.
// The caller walks with
//     if (parent && IsWindow(parent))
//         EnumChildWindows(parent, VisitChildControl, reinterpret_cast<LPARAM>(&request));
// and ignores the result. One walk at a time: the store works in process-wide
// buffers.
struct ControlStateRequest {
    HWND parent;          // only children whose parent is exactly this window
    const char* keyPath;  // sub-key of HKEY_CURRENT_USER
    int nameByText;       // nonzero: "Button" and "ComboBox" named by their text
    int mode;             // 0 restores, anything else saves
};

// Returns 1 to go on with the next child, 0 to end the walk (a failed save).
BOOL CALLBACK VisitChildControl(HWND child, LPARAM request) noexcept;
