// Shows the real main dialog after a test on a machine that seems to have
// more processors than this one, for a picture of it:
//   zyk_result_picture <processors> <hold file> [one-by-one]
// The dialog opens in this process, the measuring code sees <processors>
// logical processors (the workers measure on the ones the machine has), one
// test runs (with one-by-one given, with "Einzeln / One by one" checked), and the dialog's screen rectangle is printed as
// "dialog: x y width height". The dialog stays open, and is redrawn as
// needed, until <hold file> exists; scripts/result-picture takes the picture
// meanwhile.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "app/app_module.h"
#include "app/dpi_awareness.h"
#include "app/message_pump.h"
#include "program_driver.h"
#include "support/bounded_wait.h"
#include "support/fake_processors.h"
#include "res/resource_ids.h"
#include "support/module_scope.h"
#include "ui/main_dialog.h"

namespace {

const int TestButton = 1;

int show(DWORD processors, const char* holdFile, bool oneByOne) {
    // As the program does, before anything else, so that the dialog is shown at the screen's
    // DPI (scripts/dpi-pictures).
    DeclareDpiAwareness();
    ModuleScope module;
    if (!module.started()) {
        fprintf(stderr, "the application module did not start\n");
        return 1;
    }
    FakeProcessors machine(processors);
    MessagePump pump;
    appModule.registerPump(&pump);
    MainDialog dialog;
    HWND window = dialog.createModeless(nullptr, 0);
    if (window == nullptr) {
        fprintf(stderr, "the dialog did not open\n");
        return 1;
    }
    ShowWindow(window, SW_SHOWNORMAL);
    auto filter = [&](MSG* message) { return pump.filterAll(message); };
    HWND test = GetDlgItem(window, TestButton);

    if (oneByOne)
        SendMessageA(GetDlgItem(window, IDC_ONE_BY_ONE), BM_SETCHECK, BST_CHECKED, 0);
    // The first display empties the field; the test starts after it.
    pumpUntil([] { return false; }, "the first display", 300, filter);
    SendMessageA(window, WM_COMMAND, TestButton, 0);
    if (!pumpUntil([&] { return IsWindowEnabled(test) != FALSE; }, "the result", 60000, filter)) {
        fprintf(stderr, "no result appeared\n");
        return 1;
    }
    // Room for a display of a worker that ended late, and for the paint.
    pumpUntil([] { return false; }, "the last display", 1000, filter);
    RECT r;
    GetWindowRect(window, &r);
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
    const bool oneByOne = argc == 4 && strcmp(argv[3], "one-by-one") == 0;
    if ((argc == 3 || oneByOne) && atoi(argv[1]) > 0)
        return show(static_cast<DWORD>(atoi(argv[1])), argv[2], oneByOne);
    fprintf(stderr, "usage: zyk_result_picture <processors> <hold file> [one-by-one]\n");
    return 2;
}
