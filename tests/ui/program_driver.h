#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "support/remembered_settings.h"
#include "support/wine_settings.h"

// Drives a running Zyklomatrix.exe from another process the way a person
// would: finds its windows, reads what they show, clicks and types. Used by
// the end-to-end tests, the run script and the benchmark.

// A Windows path for the program: a Unix path (as the build gives it under
// Wine) is turned into its Z: drive path.
std::string windowsPath(const std::string& path);

class ProgramDriver {
public:
    // The arguments follow the program's name on its command line.
    explicit ProgramDriver(std::string exePath, std::string arguments = std::string());
    // Ends the program if it still runs.
    ~ProgramDriver();
    ProgramDriver(const ProgramDriver&) = delete;
    ProgramDriver& operator=(const ProgramDriver&) = delete;

    // Starts the program; false when it could not be started.
    bool start();
    // Waits for the visible main dialog of this process; null on timeout.
    HWND waitForDialog(DWORD timeoutMs);
    // Waits for a visible window of this process with the given caption
    // other than the main dialog; null on timeout.
    HWND waitForWindow(const char* caption, DWORD timeoutMs);
    // Waits for the program to end; false on timeout.
    bool waitForExit(DWORD timeoutMs, DWORD& exitCode);
    bool running() const;

    HWND dialog() const { return dialog_; }
    HWND control(int id) const { return GetDlgItem(dialog_, id); }
    DWORD processId() const { return process_.dwProcessId; }

    // Presses a button with the mouse (a click message, as the button's own
    // mouse handling would produce).
    void click(int id);
    // Types a key at the window that has the keyboard focus in the program's
    // thread (the dialog itself when none has).
    void pressKey(WORD virtualKey);
    // Sends a command to the dialog as another program could.
    void sendCommand(WORD id);
    // Picks a list entry by position.
    void selectEntry(int listId, int index);

    // Makes sure that the dialog's first display, due 100 ms after it
    // opened, cannot come after a test has started: it would show the
    // entries as they were before the test. No person is that quick; the
    // driver runs the display itself, as its timer would, which also
    // cancels the timer if it is still pending.
    void settle();

    // Clears the result field, presses "Test" after settle() and waits until a result is
    // shown and "Test" is enabled again; false on timeout.
    bool runTest(DWORD timeoutMs, std::string& result);

private:
    std::string exePath_;
    std::string arguments_;
    PROCESS_INFORMATION process_;
    HWND dialog_;
};

// Text of a window in another process.
std::string windowText(HWND window);
std::string className(HWND window);
// The entries of a combo box in another process.
std::vector<std::string> listEntries(HWND list);

// Splits a result display into values and separators: values[i] is followed
// by separators[i] (the last by nothing).
struct ResultText {
    std::vector<std::string> values;
    std::vector<std::string> separators;
};
ResultText splitResult(const std::string& text);
// True for an optional minus sign, digits, a point and exactly `decimals` digits.
bool isDecimal(const std::string& value, int decimals);
