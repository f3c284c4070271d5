#pragma once
#include <windows.h>

#include <string>

// Helpers for tests that open the program's dialogs inside the test process.

// Removes every waiting message of this thread, WM_QUIT included; returns
// the wParam of the last WM_QUIT seen, or -1.
WPARAM drainMessages();

std::string controlText(HWND dialog, int id);
