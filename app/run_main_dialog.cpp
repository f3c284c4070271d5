#include "app/run_main_dialog.h"

#include "app/app_module.h"
#include "app/message_pump.h"
#include "ui/main_dialog.h"

#include <new>

int runMainDialog(const char*, int showCommand) {
    MessagePump pump;
    // The dialog looks the pump up while it opens; without an entry it runs
    // without the dialog manager's keyboard handling.
    appModule.registerPump(&pump);

    // The dialog is larger than a page, and the program's code may only move
    // its stack by less than a page at a time (see cmake/ZykRelease.cmake):
    // it lives on the heap.
    int status = 0;
    MainDialog* dialog = new (std::nothrow) MainDialog;
    if (dialog != nullptr) {
        HWND window = dialog->createModeless(nullptr, 0);
        if (window != nullptr) {
            ShowWindow(window, showCommand);
            status = pump.pumpMessages();
            appModule.unregisterPump();
        }
        // The dialog (with its link) goes first, then the pump.
        delete dialog;
    }
    return status;
}
