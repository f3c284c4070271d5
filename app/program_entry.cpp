// Process entry and program entry of Zyklomatrix.exe.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <stdlib.h>

#include "app/app_module.h"
#include "app/command_line_tail.h"
#include "app/common_controls.h"
#include "app/dpi_awareness.h"
#include "app/run_main_dialog.h"

namespace {

// Declares the process DPI-aware, initialises COM and the common controls, runs the main
// dialog inside the application module's lifetime and returns the exit status.
int ProgramEntry(HINSTANCE instance, HINSTANCE, LPSTR commandTail, int showCommand) {
    // First of all: the awareness must be declared before any call that depends on it, the
    // creation of a window included. COM may set up the thread's apartment with a hidden
    // window of its own, and the common controls may read the screen's metrics as they
    // initialise, so both come after it.
    DeclareDpiAwareness();
    CoInitialize(nullptr);
    DefWindowProcA(nullptr, 0, 0, 0);

    INITCOMMONCONTROLSEX classes;
    classes.dwSize = sizeof classes;
    classes.dwICC = ICC_BAR_CLASSES | ICC_COOL_CLASSES;  // the tooltip is a bar class
    InitCommonControlsWherePresent(GetModuleHandleA("COMCTL32.DLL"), &classes);

    // Without its pump table the module cannot host the dialog: end as a
    // dialog that could not be created would.
    int status = 0;
    if (appModule.startUp(instance) == S_OK)
        status = runMainDialog(commandTail, showCommand);
    appModule.shutDown();
    CoUninitialize();
    return status;
}

}  // namespace

// The runtime library calls this after its own start-up. The tail and the
// show command are worked out here from the process's command line and
// start-up record, so that they follow the program's rules rather than the
// library's.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = 0;
    GetStartupInfoA(&startup);

    const char* tail = CommandLineTail(GetCommandLineA());
    int status = ProgramEntry(GetModuleHandleA(nullptr), nullptr, const_cast<LPSTR>(tail),
                              StartupShowCommand(startup));
    // Measuring workers may still run; exit does not wait for them.
    exit(status);
}
