#pragma once
#include <windows.h>

#include "app/message_pump.h"
#include "app/window_binding.h"
#include "link/link_label.h"
#include "processor/efficiency_classes.h"
#include "processor/power_caps.h"
#include "processor/rated_clocks.h"
#include "ui/clock_verdict.h"
#include "ui/history/history_window.h"
#include "ui/one_by_one_option.h"
#include "ui/result_area.h"
#include "ui/result_copy.h"

// Platform record filled when the main dialog opens; its dwPlatformId picks
// the measuring method of each test: the per-processor workers on the NT
// family (2), the converging estimator on the dialog's thread otherwise.
extern OSVERSIONINFOA PlatformVersion;

// Registry key, under HKEY_CURRENT_USER, of the dialog's remembered settings.
extern const char MainDialogStateKey[];

// Controller of the program's only top-level window, the modeless dialog
// built from template 129: two choice lists, "Test", "ESC", the result
// field and the link to the maker's site. It is also its thread's dispatch
// filter (the dialog manager's keyboard handling, and Ctrl+C, which copies
// the results) and an idle task.
class MainDialog final : public DialogBinding, public DispatchFilter, public IdleTask {
public:
    MainDialog();

    BOOL handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                       LRESULT& result, DWORD tableId) override;

    // Copies the results on Ctrl+C, else gives the message to the dialog
    // manager; nonzero when it consumed it. Consumes nothing once the window
    // is gone.
    BOOL screen(MSG* message) override;
    // Nothing to do between messages.
    BOOL runIdle() override;

    // The operations behind the message table; each returns the message's
    // result.
    int prepareDialog();
    int runTest();
    int quit(int commandId);
    int showAbout();
    // Opens the history window, or brings the open one to the front.
    int showHistory();
    void showResults(UINT_PTR timerId);
    // Puts the results shown on the clipboard; nothing before a test.
    bool copyResults();

    const LinkLabel& link() const { return siteLink; }
    const ResultArea& results() const { return resultArea; }
    const ShownResults& shownResults() const { return shown; }
    const ProcessorClasses& processorClasses() const { return classes; }
    HistoryWindow& historyWindow() { return history; }

private:
    // Saves (mode 1) or restores (mode 0) the child controls' states.
    void walkControlStates(int mode);
    // The number selected in a list; a list without a selection gets its
    // default entry back first, so a test never runs with a window or a
    // count of 0.
    LONG selectedNumber(HWND list, const char* defaultPrefix);
    // Whether a message is Ctrl+C for the dialog: a key of the dialog or one
    // of its controls, but not of an open drop-down list, which keeps it.
    bool isCopyKey(const MSG& message) const;
    // The result rows' context menu, with its one command, "Kopieren /
    // Copy", for a right click on either field or the menu key while one has
    // the focus. Returns whether the request was the rows'.
    bool showCopyMenu(HWND clicked, LPARAM screenPoint);
    // The history's button in the option row, and its entry and the About
    // box's in the system menu.
    void addHistoryControls();
    // After a test: the verdict under the rated clocks, and the caps read
    // again, since the power source or the scheme may have changed.
    void showVerdict(const ClockVerdict& verdict);

    LinkLabel siteLink;
    HWND windowList;
    HWND repeatList;
    char stateKeyPath[1024];
    // The row of the test's options, under the choice lists, in client
    // coordinates.
    RECT optionRow;
    // The choice of measuring the processors one by one, and whether the
    // latest test on the workers' path did.
    OneByOneOption oneByOne;
    bool testOneByOne;
    // The result field, and the room it takes with more than four values.
    ResultArea resultArea;
    // What the latest test showed, for the clipboard.
    ShownResults shown;
    // The kinds of cores of the processors a test measures, read when the
    // dialog opens.
    ProcessorClasses classes;
    // The rated clocks, read when the dialog opens, and the lines shown and
    // copied: the rated clocks', the latest verdict's and the caps'.
    RatedClocks rated;
    char ratedLine[256];
    char verdictLine[128];
    char capsLine[PowerCapsTextSize];
    // Comes and goes; the object lives as long as the dialog's.
    HistoryWindow history;
};
