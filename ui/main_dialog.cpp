#include "ui/main_dialog.h"

#include <stdio.h>
#include <stdlib.h>

#include "app/app_module.h"
#include "app/format_text.h"
#include "app/place_centred.h"
#include "measure/core_clock.h"
#include "measure/cycle_counter.h"
#include "measure/frequency_estimator.h"
#include "measure/processor_workers.h"
#include "measure/result_table.h"
#include "measure/test_parameters.h"
#include "processor/emulation.h"
#include "processor/processor_name.h"
#include "res/resource_ids.h"
#include "settings/control_state_store.h"
#include "ui/about_dialog.h"
#include "ui/clipboard_text.h"
#include "ui/dialog_rows.h"
#include "ui/processor_rows.h"
#include "ui/rated_line.h"
#include "ui/result_display.h"
#include "ui/site_address.h"
#include "ui/window_text.h"

OSVERSIONINFOA PlatformVersion;

const char MainDialogStateKey[] = "Software\\Quellwerk\\Zyklomatrix\\Dlg";

namespace {

// Default entries, found by prefix from the top of each list: "5" stops at
// 50, the first entry beginning with 5.
const char DefaultWindowPrefix[] = "5";
const char DefaultRepeatPrefix[] = "1";

// Height of the row of the test's options, in dialog units: a push button's.
const int OptionRowHeight = 16;

// Delay of the first display after the dialog opens.
const UINT FirstDisplayDelayMs = 100;

// The history's button, in the column of "Test" and "ESC", in dialog units.
const int HistoryButtonX = 161;
const int HistoryButtonWidth = 50;
const int HistoryButtonHeight = 14;
const char HistoryButtonText[] = "Verlauf / History";

void setProgramIcon(HWND window, int widthMetric, int heightMetric, WPARAM which) {
    HANDLE icon = LoadImageA(appModule.resourceInstance(), MAKEINTRESOURCEA(IDI_PROGRAM), IMAGE_ICON,
                             GetSystemMetrics(widthMetric), GetSystemMetrics(heightMetric),
                             LR_DEFAULTCOLOR);
    SendMessageA(window, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
}

}  // namespace

MainDialog::MainDialog()
    : DialogBinding(IDD_MAIN_DIALOG), siteLink(0), windowList(nullptr), repeatList(nullptr), optionRow(), testOneByOne(false), shown(),
      rated() {
    stateKeyPath[0] = '\0';
    ratedLine[0] = '\0';
    verdictLine[0] = '\0';
    capsLine[0] = '\0';
}

BOOL MainDialog::handleMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                               DWORD tableId) {
    if (tableId != 0)
        return FALSE;
    switch (message) {
    case WM_INITDIALOG:
        result = prepareDialog();
        return TRUE;
    case WM_COMMAND:
        // The notification code is not examined: a click and the dialog
        // manager's Enter and Escape commands are handled alike.
        switch (LOWORD(wParam)) {
        case IDM_ABOUT:
            result = showAbout();
            return TRUE;
        case IDC_TEST:
            result = runTest();
            return TRUE;
        case IDC_ESC:
            result = quit(LOWORD(wParam));
            return TRUE;
        case IDC_HISTORY:
            result = showHistory();
            return TRUE;
        }
        return FALSE;
    case WM_SYSCOMMAND:
        // The system keeps the low four bits of its commands for itself.
        switch (wParam & 0xFFF0) {
        case IDM_ABOUT:
            result = showAbout();
            return TRUE;
        case IDM_HISTORY:
            result = showHistory();
            return TRUE;
        }
        return FALSE;
    case WM_TIMER:
        showResults(wParam);
        result = 0;
        return TRUE;
    case WM_CONTEXTMENU:
        result = 0;
        return showCopyMenu(reinterpret_cast<HWND>(wParam), lParam);
    }
    return FALSE;
}

BOOL MainDialog::screen(MSG* message) {
    if (window() == nullptr)
        return FALSE;
    if (isCopyKey(*message)) {
        copyResults();
        return TRUE;
    }
    return IsDialogMessageA(window(), message);
}

bool MainDialog::isCopyKey(const MSG& message) const {
    if (!IsCopyKeystroke(message))
        return false;
    if (message.hwnd != window() && !IsChild(window(), message.hwnd))
        return false;
    return !SendMessageA(windowList, CB_GETDROPPEDSTATE, 0, 0) &&
           !SendMessageA(repeatList, CB_GETDROPPEDSTATE, 0, 0);
}

bool MainDialog::copyResults() {
    HWND dialog = window();
    char caption[256];
    if (GetWindowTextA(dialog, caption, sizeof caption) <= 0)
        caption[0] = '\0';
    // What the rows show, read as they stand.
    const WindowText rates(GetDlgItem(dialog, IDC_RESULT));
    const WindowText cores(GetDlgItem(dialog, IDC_CORE_CLOCK));
    // Under emulation the core clocks' row holds no values, only its note.
    const char* coreValues = shown.emulatedOn != nullptr ? "" : cores.text();
    return rates.text() != nullptr && coreValues != nullptr &&
           CopyResults(dialog, shown, caption, rates.text(), coreValues);
}

bool MainDialog::showCopyMenu(HWND clicked, LPARAM screenPoint) {
    HWND dialog = window();
    HWND rows[] = {GetDlgItem(dialog, IDC_RESULT), GetDlgItem(dialog, IDC_CORE_CLOCK)};
    POINT at = {static_cast<short>(LOWORD(screenPoint)), static_cast<short>(HIWORD(screenPoint))};
    // The menu key or Shift+F10 gives no point: the menu then opens at the
    // field with the focus.
    const bool fromKeyboard = screenPoint == -1;
    HWND row = nullptr;
    for (HWND candidate : rows) {
        RECT rect;
        if (candidate == nullptr || !GetWindowRect(candidate, &rect))
            continue;
        if (fromKeyboard ? GetFocus() == candidate : (clicked == candidate || PtInRect(&rect, at))) {
            row = candidate;
            if (fromKeyboard) {
                at.x = rect.left;
                at.y = rect.bottom;
            }
        }
    }
    if (row == nullptr)
        return false;

    HMENU menu = CreatePopupMenu();
    if (menu == nullptr)
        return true;
    const UINT CopyCommand = 1;
    const UINT state = shown.kind == ShownResults::Nothing ? MF_GRAYED : MF_ENABLED;
    AppendMenuA(menu, MF_STRING | state, CopyCommand, "Kopieren / Copy");
    const UINT chosen = static_cast<UINT>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x, at.y, 0, dialog, nullptr));
    DestroyMenu(menu);
    if (chosen == CopyCommand)
        copyResults();
    return true;
}

void MainDialog::addHistoryControls() {
    HWND dialog = window();
    HWND result = GetDlgItem(dialog, IDC_RESULT);
    if (result != nullptr && optionRow.bottom > optionRow.top) {
        RECT button = DialogUnitsToPixels(dialog, HistoryButtonX, 0, HistoryButtonWidth, HistoryButtonHeight);
        const int height = button.bottom - button.top;
        const int top = optionRow.top + (optionRow.bottom - optionRow.top - height) / 2;
        // Where the text needs more than the column's width, the button grows to the left,
        // into the gap beside the row's left part: its frame takes two dialog units a side.
        const RECT text = MeasureDialogText(dialog, HistoryButtonText, 0, DT_SINGLELINE);
        const int needed = text.right + DialogUnitsToPixels(dialog, 0, 0, 4, 0).right;
        if (needed > button.right - button.left)
            button.left = button.right - needed;
        button.top = top;
        button.bottom = top + height;
        // In the tab order where it stands: after the row's left part, else
        // right before the results.
        HWND after = GetDlgItem(dialog, IDC_ONE_BY_ONE);
        if (after == nullptr)
            after = GetWindow(result, GW_HWNDPREV);
        CreateDialogControl(dialog, "Button", IDC_HISTORY, HistoryButtonText, WS_TABSTOP | BS_PUSHBUTTON, button,
                            after);
    }
    HMENU menu = GetSystemMenu(dialog, FALSE);
    if (menu != nullptr) {
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(menu, MF_STRING, IDM_HISTORY, "Verlauf / History...");
        AppendMenuA(menu, MF_STRING, IDM_ABOUT, "Info / About...");
    }
}

void MainDialog::showVerdict(const ClockVerdict& verdict) {
    HWND dialog = window();
    FormatVerdict(verdict, verdictLine, sizeof verdictLine);
    char text[sizeof ratedLine + sizeof verdictLine];
    FormatText(text, sizeof text, verdictLine[0] != '\0' ? "%s\n%s" : "%s", ratedLine, verdictLine);
    SetWindowTextA(GetDlgItem(dialog, IDC_RATED_CLOCKS), text);
    FormatPowerCaps(ReadPowerCaps(classes.kinds() >= 2), capsLine, sizeof capsLine);
    SetWindowTextA(GetDlgItem(dialog, IDC_POWER_CAPS), capsLine);
}

int MainDialog::showHistory() {
    // The rated maximum of the fastest kind of core, else its base, as the
    // plot's second line.
    const RatedClock& fastest = rated.byRank[0];
    history.setRatedClock(fastest.maxMhz != 0 ? fastest.maxMhz : fastest.baseMhz, fastest.maxMhz != 0);
    // Where x86 code is emulated there is no core clock to measure: the
    // window says so instead.
    history.open(window(), shown.emulatedOn, shown.processor != nullptr ? shown.processor : "",
                 PlatformVersion.dwPlatformId == VER_PLATFORM_WIN32_NT);
    return 0;
}

BOOL MainDialog::runIdle() {
    return FALSE;
}

int MainDialog::prepareDialog() {
    HWND dialog = window();
    // The rows added at run time first, so that the dialog is centred with
    // its full height: the options under the choice lists, then the core
    // clocks' row under the time-stamp rates.
    optionRow = InsertRowAbove(dialog, GetDlgItem(dialog, IDC_RESULT), OptionRowHeight);
    // Whose clock it is, found out before the first test: the processor's
    // name, whether x86 code runs on it at all, and its kinds of cores. The
    // program opens the dialog once, so its answer is the one EmulatedOn()
    // keeps for the workers; a dialog opened again asks afresh.
    shown.processor = ProcessorName();
    shown.emulatedOn = DetectEmulation();
    classes.read();
    AddProcessorRows(dialog, shown.processor, shown.emulatedOn, classes.kinds());

    ZeroMemory(&PlatformVersion, sizeof PlatformVersion);
    PlatformVersion.dwOSVersionInfoSize = sizeof PlatformVersion;
    GetVersionExA(&PlatformVersion);
    const bool ntFamily = PlatformVersion.dwPlatformId == VER_PLATFORM_WIN32_NT;
    // What the processor should reach, and what holds it back, under the
    // processor's lines.
    rated = ReadRatedClocks(classes, shown.processor, ntFamily);
    FormatRatedLine(rated, ratedLine, sizeof ratedLine);
    FormatPowerCaps(ReadPowerCaps(classes.kinds() >= 2), capsLine, sizeof capsLine);
    AddRatedRows(dialog, ratedLine, capsLine);
    shown.rated = ratedLine;
    shown.verdict = verdictLine;
    shown.caps = capsLine;
    // The check box after the repetitions' label, the last control above it;
    // its legend right above the results.
    oneByOne.create(dialog, optionRow, GetWindow(GetDlgItem(dialog, IDC_REPEAT_LIST), GW_HWNDNEXT));
    // The history's button after the check box, and its system menu entries.
    addHistoryControls();
    char coreText[128];
    if (shown.emulatedOn != nullptr)
        FormatEmulatedCoreText(shown.emulatedOn, coreText, sizeof coreText);
    resultArea.addCoreRow(dialog, shown.emulatedOn != nullptr ? coreText : nullptr);
    placeCentred(dialog, nullptr);
    // The result area as it opens, before any test moves it.
    resultArea.capture(dialog);

    // Elsewhere one estimate runs on this thread: there is nothing to take
    // one by one.
    oneByOne.enable(ntFamily);

    setProgramIcon(dialog, SM_CXICON, SM_CYICON, ICON_BIG);
    setProgramIcon(dialog, SM_CXSMICON, SM_CYSMICON, ICON_SMALL);

    // Start-up registers the thread's pump before it creates the dialog.
    // Should that registration have failed, the dialog runs without the
    // dialog manager's keyboard handling; mouse and close box still work.
    appModule.enterModuleLock();
    MessagePump* pump = appModule.pumpForThread(GetCurrentThreadId());
    appModule.leaveModuleLock();
    if (pump != nullptr) {
        pump->addFilter(this);
        pump->addIdleTask(this);
    }

    windowList = GetDlgItem(dialog, IDC_WINDOW_LIST);
    repeatList = GetDlgItem(dialog, IDC_REPEAT_LIST);

    // 50 to 950 ms in steps of 50; repetitions 1 to 4 in the first passes.
    for (int v = 50, i = 1; v < 1000; v += 50, ++i) {
        char text[16];
        sprintf(text, "%d", v);
        SendMessageA(windowList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        if (v < 250) {
            sprintf(text, "%d", i);
            SendMessageA(repeatList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        }
    }
    SendMessageA(windowList, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(DefaultWindowPrefix));
    SendMessageA(repeatList, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(DefaultRepeatPrefix));

    NonGermanSystem = NonGermanFlagFor(GetSystemDefaultLangID());

    // The control already exists and gets no creation message, so the link
    // is prepared here. Without the binding it stays plain text.
    HWND linkControl = GetDlgItem(dialog, IDC_SITE_LINK);
    SetWindowTextA(linkControl, BuildSiteAddress());
    if (siteLink.attachToWindow(linkControl))
        siteLink.prepareControl();
    char target[SiteTextSize];
    BuildSiteTarget(target);
    siteLink.setTarget(target);

    FormatText(stateKeyPath, sizeof stateKeyPath, "%s", MainDialogStateKey);
    // After the defaults, so that remembered choices override them.
    walkControlStates(0);

    SetTimer(dialog, DisplayTimer, FirstDisplayDelayMs, nullptr);
    return 1;
}

LONG MainDialog::selectedNumber(HWND list, const char* defaultPrefix) {
    char text[256];
    if (GetWindowTextA(list, text, sizeof text) <= 0) {
        SendMessageA(list, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(defaultPrefix));
        if (GetWindowTextA(list, text, sizeof text) <= 0)
            text[0] = '\0';
    }
    return atoi(text);
}

int MainDialog::runTest() {
    // The first counter in the process runs the one-time detections.
    CycleCounter detections;
    (void)detections;
    // A test under way, of either kind, is not joined by a second one: two
    // workers would share each processor, and later workers would read new
    // parameters. Enter, and a posted command, reach here while "Test" is
    // disabled.
    if (workersRunning())
        return 0;

    const LONG windowMs = selectedNumber(windowList, DefaultWindowPrefix);
    const LONG repetitions = selectedNumber(repeatList, DefaultRepeatPrefix);
    // Stored before any worker starts; the workers load them when they begin.
    MeasureWindowMs.store(windowMs, std::memory_order_release);
    RepeatCount.store(repetitions, std::memory_order_release);
    // Only lists without any entry get here with 0; no test divides by it.
    if (windowMs <= 0 || repetitions <= 0)
        return 0;

    if (PlatformVersion.dwPlatformId == VER_PLATFORM_WIN32_NT) {
        // The history measures nothing until the results are shown.
        history.setTestRunning(true);
        // The workers disable "Test" and re-arm the display timer; the
        // dialog stays responsive and nothing is saved on this path.
        testOneByOne = oneByOne.checked();
        startProcessorWorkers(window(), testOneByOne ? WorkerOrder::OneByOne : WorkerOrder::AllAtOnce);
        return 0;
    }

    // Every other platform, and a record GetVersionExA left empty: one
    // estimate on this thread, with a threshold of one hertz.
    FrequencyEstimate estimate = {0.0, 1.0};
    EstimateFrequency(estimate.mean, estimate.deviation, windowMs, repetitions);
    const double estimateMhz = estimate.mean * 0.000001;
    char text[256];
    // Right after the estimate, while the processor is still busy at its full
    // clock; under emulation there is no core to measure, and its row keeps
    // saying so.
    double coreMhz = 0.0;
    if (shown.emulatedOn == nullptr) {
        coreMhz = MeasureCoreClock(estimateMhz);
        FormatText(text, sizeof text, "%.1f", coreMhz);
        SetWindowTextA(GetDlgItem(window(), IDC_CORE_CLOCK), text);
    }
    showVerdict(JudgeCoreClock(coreMhz, rated.byRank[0]));
    FormatText(text, sizeof text, "%f", estimateMhz);
    SetWindowTextA(GetDlgItem(window(), IDC_RESULT), text);
    testOneByOne = false;
    resultArea.labelCoreRow(window(), false);
    oneByOne.showLegend(oneByOneProgress(), 0, false);
    shown.kind = ShownResults::Estimate;
    shown.windowMs = windowMs;
    shown.repetitions = repetitions;
    walkControlStates(1);
    return 0;
}

void MainDialog::walkControlStates(int mode) {
    HWND dialog = window();
    if (dialog == nullptr || !IsWindow(dialog))
        return;
    ControlStateRequest request = {dialog, stateKeyPath, 0, mode};
    EnumChildWindows(dialog, VisitChildControl, reinterpret_cast<LPARAM>(&request));
}

void MainDialog::showResults(UINT_PTR) {
    HWND dialog = window();
    KillTimer(dialog, DisplayTimer);
    // "Test" comes back, and the history measures again, only once the last
    // worker of the test has finished. A test of one processor after another
    // shows how far it has got at each tick; all at once, a display while
    // some workers still run shows those that are done, and the last worker
    // arms the timer again.
    const OneByOneProgress progress = oneByOneProgress();
    const bool measuring = workersRunning();
    // A quarter of a megabyte with 2,048 processors: kept off the stack. Only
    // the dialog thread shows results.
    static char text[ResultDisplaySize];
    // The fields take their lines before they get their texts, so that each
    // text is drawn once, the way it is meant to be.
    resultArea.arrange(dialog, resultTable.count());
    FormatResultTable(resultTable, text, &classes);
    SetWindowTextA(GetDlgItem(dialog, IDC_RESULT), text);
    bool marked = false;
    if (shown.emulatedOn == nullptr) {
        marked = FormatCoreClockTable(resultTable, text, &classes, testOneByOne && !measuring);
        SetWindowTextA(GetDlgItem(dialog, IDC_CORE_CLOCK), text);
    }
    if (measuring) {
        if (testOneByOne)
            SetTimer(dialog, DisplayTimer, DisplayTimerPeriodMs, nullptr);
    } else {
        EnableWindow(GetDlgItem(dialog, IDC_TEST), TRUE);
        history.setTestRunning(false);
    }
    // The first display, 100 ms after the dialog opens, shows no test.
    if (resultTable.count() > 0) {
        resultArea.labelCoreRow(dialog, testOneByOne);
        oneByOne.showLegend(progress, resultTable.count(), marked);
        shown.kind = ShownResults::PerProcessor;
        shown.oneByOne = testOneByOne;
        shown.windowMs = MeasureWindowMs.load(std::memory_order_acquire);
        shown.repetitions = RepeatCount.load(std::memory_order_acquire);
        // The verdict once the whole test is in; under emulation there is none.
        if (!measuring)
            showVerdict(shown.emulatedOn == nullptr ? JudgeCoreClocks(resultTable, classes, rated, testOneByOne)
                                                    : JudgeCoreClock(0.0, rated.byRank[0]));
    }
}

int MainDialog::quit(int commandId) {
    // Workers still measuring are not waited for.
    DestroyWindow(window());
    PostQuitMessage(commandId);
    return 0;
}

int MainDialog::showAbout() {
    return showAboutBox();
}
