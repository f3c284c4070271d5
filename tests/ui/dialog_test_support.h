#pragma once
#include <windows.h>

#include <string>

class MessagePump;

// Helpers for tests that open the program's dialogs inside the test process.

// Removes every waiting message of this thread, WM_QUIT included; returns
// the wParam of the last WM_QUIT seen, or -1.
WPARAM drainMessages();

std::string controlText(HWND dialog, int id);

// The clipboard's text, or "(no text)"; puts a text there, owned by owner.
std::string clipboardText(HWND owner);
void putOnClipboard(HWND owner, const char* text);

// Ctrl+C as it reaches the thread's filters: a key of the given window with
// the Ctrl key held. Returns whether a filter consumed it.
bool pressCtrlC(MessagePump& pump, HWND to);
