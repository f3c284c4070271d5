#pragma once
#include <windows.h>

#include "app/window_binding.h"

// The modal About box (template 100): program icon, product line and the
// maker's address. Centred on its owner; "OK", Enter, Escape and the close
// box end it.
class AboutDialog : public DialogBinding {
public:
    AboutDialog();

    BOOL handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                       LRESULT& result, DWORD tableId) override;
};

// Runs the About box modally, owned by the calling thread's active window.
// Returns 0 whatever the box returned, also when it could not be shown.
int showAboutBox();
