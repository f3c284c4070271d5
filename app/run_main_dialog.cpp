#include "app/run_main_dialog.h"

#include "app/app_module.h"
#include "app/message_pump.h"
#include "ui/main_dialog.h"

int runMainDialog(const char*, int showCommand) {
    MessagePump pump;
    // The dialog looks the pump up while it opens; without an entry it runs
    // without the dialog manager's keyboard handling.
    appModule.registerPump(&pump);

    int status = 0;
    {
        MainDialog dialog;
        HWND window = dialog.createModeless(nullptr, 0);
        if (window != nullptr) {
            ShowWindow(window, showCommand);
            status = pump.pumpMessages();
            appModule.unregisterPump();
        }
        // The dialog (with its link) goes first, then the pump.
    }
    return status;
}
