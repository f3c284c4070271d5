#include "ui/history/history_window.h"

#include "app/app_module.h"
#include "app/format_text.h"
#include "app/place_centred.h"
#include "link/gdi_scopes.h"
#include "ui/clipboard_text.h"
#include "ui/history/history_copy.h"
#include "ui/history/history_drawing.h"
#include "ui/rated_line.h"

namespace {

const UINT_PTR RedrawTimer = 1;
const UINT_PTR SampleTimer = 2;
const UINT RedrawMs = 1000;

// The window's size when it opens and its least, in dialog units.
const short OpenWidth = 320;
const short OpenHeight = 180;
const LONG LeastWidth = 220;
const LONG LeastHeight = 130;

const DWORD HistoryStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX
                           | DS_SETFONT;

// A dialog without controls, in memory: style, extended style, no items, position, size, no
// menu, the standard class, no caption (it is set when it opens), 8-point "MS Sans Serif" as
// the main dialog has.
alignas(4) const WORD HistoryTemplate[] = {
    LOWORD(HistoryStyle), HIWORD(HistoryStyle), 0, 0, 0, 0, 0, OpenWidth, OpenHeight, 0, 0, 0,
    8, 'M', 'S', ' ', 'S', 'a', 'n', 's', ' ', 'S', 'e', 'r', 'i', 'f', 0,
};

const char HistoryCaption[] = "Zyklomatrix - Verlauf / History";

}  // namespace

HistoryWindow::HistoryWindow()
    : DialogBinding(reinterpret_cast<const DLGTEMPLATE*>(HistoryTemplate)), filterAdded(false), ownThread(false),
      sampling(false), emulated(nullptr), ratedMhz(0) {
    processorName[0] = '\0';
    ratedLabel[0] = '\0';
}

void HistoryWindow::setRatedClock(DWORD mhz, bool maximum) {
    ratedMhz = mhz;
    FormatRatedReference(mhz, maximum, ratedLabel, sizeof ratedLabel);
}

void HistoryWindow::formatReferenceLabel(char* text, size_t room) {
    FormatText(text, room, "Basistakt / Base clock (TSC) %.0f MHz", sampler.timeStampMhz());
}

bool HistoryWindow::open(HWND owner, const char* emulatedOn, const char* name, bool samplerThread) {
    HWND shown = window();
    if (shown != nullptr) {
        if (IsIconic(shown))
            ShowWindow(shown, SW_RESTORE);
        SetForegroundWindow(shown);
        return true;
    }
    if (!filterAdded) {
        appModule.enterModuleLock();
        MessagePump* pump = appModule.pumpForThread(GetCurrentThreadId());
        appModule.leaveModuleLock();
        // Filters stay in the pump for its life, and so does this object, the main dialog's.
        if (pump != nullptr)
            filterAdded = pump->addFilter(this) != 0;
    }
    emulated = emulatedOn;
    ownThread = samplerThread;
    FormatText(processorName, sizeof processorName, "%s", name != nullptr ? name : "");
    HWND created = createModeless(owner, 0);
    if (created == nullptr)
        return false;
    ShowWindow(created, SW_SHOW);
    return true;
}

BOOL HistoryWindow::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                                  DWORD tableId) {
    if (tableId != 0)
        return FALSE;
    result = 0;
    switch (message) {
    case WM_INITDIALOG:
        result = prepare();
        return TRUE;
    case WM_PAINT:
        paint();
        return TRUE;
    case WM_ERASEBKGND:
        // The picture covers the whole client area at once.
        result = 1;
        return TRUE;
    case WM_SIZE:
        InvalidateRect(window, nullptr, FALSE);
        return TRUE;
    case WM_GETMINMAXINFO: {
        // The least client area, and the frame around it as the window has it now.
        RECT least = {0, 0, LeastWidth, LeastHeight};
        MapDialogRect(window, &least);
        RECT outer, inner;
        GetWindowRect(window, &outer);
        GetClientRect(window, &inner);
        MINMAXINFO* limits = reinterpret_cast<MINMAXINFO*>(lParam);
        limits->ptMinTrackSize.x = least.right + (outer.right - outer.left) - inner.right;
        limits->ptMinTrackSize.y = least.bottom + (outer.bottom - outer.top) - inner.bottom;
        return TRUE;
    }
    case WM_POWERBROADCAST:
        // Back from a sleep or hibernation, where the system says so.
        if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND)
            sampler.noteResume();
        return FALSE;
    case WM_TIMER:
        if (wParam == SampleTimer)
            measureDue();
        InvalidateRect(window, nullptr, FALSE);
        return TRUE;
    case WM_COMMAND:
        // Escape and the close box.
        if (LOWORD(wParam) != IDCANCEL)
            return FALSE;
        DestroyWindow(window);
        return TRUE;
    case WM_DESTROY:
        finish();
        return FALSE;
    }
    return FALSE;
}

bool HistoryWindow::prepare() {
    HWND dialog = window();
    SetWindowTextA(dialog, HistoryCaption);
    HWND owner = GetWindow(dialog, GW_OWNER);
    if (owner != nullptr) {
        SendMessageA(dialog, WM_SETICON, ICON_BIG, SendMessageA(owner, WM_GETICON, ICON_BIG, 0));
        SendMessageA(dialog, WM_SETICON, ICON_SMALL, SendMessageA(owner, WM_GETICON, ICON_SMALL, 0));
    }
    placeCentred(dialog, nullptr);
    // Under emulation there is no core clock to measure, and nothing runs.
    sampling = emulated == nullptr && sampler.start(record, ownThread);
    if (sampling && !ownThread)
        SetTimer(dialog, SampleTimer, 1, nullptr);
    SetTimer(dialog, RedrawTimer, RedrawMs, nullptr);
    return true;
}

void HistoryWindow::measureDue() {
    DWORD waitMs;
    do
        waitMs = sampler.runDue();
    while (waitMs == 0);
    // Setting the timer again replaces it.
    SetTimer(window(), SampleTimer, waitMs, nullptr);
}

void HistoryWindow::finish() {
    KillTimer(window(), SampleTimer);
    KillTimer(window(), RedrawTimer);
    // Waits for the sampling thread: nothing of the window measures on once it is gone.
    sampler.stop();
    sampling = false;
}

void HistoryWindow::paint() {
    HWND dialog = window();
    PAINTSTRUCT paint;
    HDC screen = BeginPaint(dialog, &paint);
    if (screen == nullptr)
        return;
    RECT client;
    GetClientRect(dialog, &client);
    HistoryView view;
    view.record = &record;
    view.classes = sampler.classes();
    view.periodMs = sampler.roundPeriodMs();
    view.elapsedMs = sampler.elapsedMs();
    view.referenceMhz = sampler.timeStampMhz();
    char referenceLabel[64];
    formatReferenceLabel(referenceLabel, sizeof referenceLabel);
    view.referenceLabel = referenceLabel;
    view.ratedMhz = ratedMhz;
    view.ratedLabel = ratedLabel;
    view.emulatedOn = emulated;
    view.font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    view.dpi = GetDeviceCaps(screen, LOGPIXELSY);
    {
        // Drawn off the screen, then shown at once; straight onto it where memory is short.
        MemoryDC memory(screen);
        OwnedGdiObject bitmap(memory != nullptr ? CreateCompatibleBitmap(screen, client.right, client.bottom)
                                                : nullptr);
        const bool offScreen = memory != nullptr && static_cast<HGDIOBJ>(bitmap) != nullptr;
        SelectedObject selected(memory, offScreen ? static_cast<HGDIOBJ>(bitmap) : nullptr);
        record.lock();
        DrawHistory(offScreen ? static_cast<HDC>(memory) : screen, client, view);
        record.unlock();
        if (offScreen)
            BitBlt(screen, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
    }
    EndPaint(dialog, &paint);
}

bool HistoryWindow::copyHistory() {
    // The copy names the clocks the plot draws, where they are known.
    char clocks[160];
    char reference[64] = "";
    if (sampler.timeStampMhz() > 0.0)
        formatReferenceLabel(reference, sizeof reference);
    FormatText(clocks, sizeof clocks, "%s%s%s", reference, reference[0] != '\0' && ratedMhz != 0 ? ", " : "",
               ratedMhz != 0 ? ratedLabel : "");
    return window() != nullptr && CopyHistory(window(), record, processorName, clocks);
}

BOOL HistoryWindow::screen(MSG* message) {
    HWND dialog = window();
    if (dialog == nullptr || message->hwnd != dialog)
        return FALSE;
    if (IsCopyKeystroke(*message)) {
        copyHistory();
        return TRUE;
    }
    return IsDialogMessageA(dialog, message);
}
