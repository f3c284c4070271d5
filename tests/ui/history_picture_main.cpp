// Shows the real history window after it has measured a while, for a picture of it:
//   zyk_history_picture <processors> <seconds> <hold file>
// The main dialog and its history window open in this process; with <processors> above 0 the
// measuring code sees that many logical processors (the history then measures on the ones the
// machine has). After <seconds> the window's screen rectangle is printed as
// "dialog: x y width height", and the window stays open, redrawn every second, until <hold
// file> exists; scripts/history-picture takes the picture meanwhile.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <memory>

#include "app/app_module.h"
#include "app/dpi_awareness.h"
#include "app/message_pump.h"
#include "program_driver.h"
#include "res/resource_ids.h"
#include "support/bounded_wait.h"
#include "support/fake_processors.h"
#include "support/module_scope.h"
#include "ui/main_dialog.h"

namespace {

int show(DWORD processors, DWORD seconds, const char* holdFile) {
    DeclareDpiAwareness();
    ModuleScope module;
    if (!module.started()) {
        fprintf(stderr, "the application module did not start\n");
        return 1;
    }
    std::unique_ptr<FakeProcessors> machine;
    if (processors > 0)
        machine.reset(new FakeProcessors(processors));
    MessagePump pump;
    appModule.registerPump(&pump);
    MainDialog dialog;
    HWND window = dialog.createModeless(nullptr, 0);
    if (window == nullptr) {
        fprintf(stderr, "the dialog did not open\n");
        return 1;
    }
    ShowWindow(window, SW_SHOWNORMAL);
    SendMessageA(window, WM_COMMAND, IDC_HISTORY, 0);
    HWND history = dialog.historyWindow().window();
    if (history == nullptr) {
        fprintf(stderr, "the history window did not open\n");
        return 1;
    }
    SetWindowPos(history, HWND_TOP, 20, 20, 720, 420, SWP_NOACTIVATE);
    auto filter = [&](MSG* message) { return pump.filterAll(message); };
    const DWORD start = GetTickCount();
    pumpUntil([&] { return GetTickCount() - start >= seconds * 1000; }, "the history", seconds * 1000 + 5000,
              filter);
    RECT r;
    GetWindowRect(history, &r);
    printf("dialog: %ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    fflush(stdout);

    const std::string hold = windowsPath(holdFile);
    if (!pumpUntil([&] { return GetFileAttributesA(hold.c_str()) != INVALID_FILE_ATTRIBUTES; },
                   "the hold file", 120000, filter))
        fprintf(stderr, "gave up waiting for the hold file %s\n", holdFile);
    DestroyWindow(window);
    appModule.unregisterPump();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && atoi(argv[2]) > 0)
        return show(static_cast<DWORD>(atoi(argv[1])), static_cast<DWORD>(atoi(argv[2])), argv[3]);
    fprintf(stderr, "usage: zyk_history_picture <processors> <seconds> <hold file>\n");
    return 2;
}
