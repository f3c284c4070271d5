#pragma once
#include <windows.h>

#include "app/message_pump.h"
#include "app/window_binding.h"
#include "measure/history/history_record.h"
#include "measure/history/history_sampler.h"

// The history window: every processor's core clock over time, measured lightly while it is
// open, drawn as a plot; Ctrl+C copies the history. One at a time, owned by the main dialog,
// resizable down to a minimum size. Its own thread's dispatch filter, for the dialog manager's
// keys (Escape closes it) and Ctrl+C. The object lives as long as the main dialog; the window
// comes and goes.
class HistoryWindow : public DialogBinding, public DispatchFilter {
public:
    HistoryWindow();

    // Opens the window owned by owner, or brings the open one to the front. emulatedOn names
    // the machine an emulated x86 runs on, where no core clock can be measured (null where
    // native); processorName heads the copied text. With samplerThread the processors are
    // measured from a thread of their own, else from a timer on this thread. Returns whether
    // the window is open.
    bool open(HWND owner, const char* emulatedOn, const char* processorName, bool samplerThread);

    // The rated clock drawn beside the time-stamp counter's rate, in MHz (0 where unknown):
    // the rated maximum (maximum) or base.
    void setRatedClock(DWORD mhz, bool maximum);
    // Nothing is measured while a test runs.
    void setTestRunning(bool running) { sampler.setPaused(running); }

    BOOL handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                       DWORD tableId) override;
    // Copies the history on Ctrl+C, else gives the message to the dialog manager.
    BOOL screen(MSG* message) override;

    // Puts the history on the clipboard; false before the first round.
    bool copyHistory();
    // What has been measured, for a look from outside; lock it while reading.
    HistoryRecord& history() { return record; }
    LONG processors() const { return sampler.processors(); }

private:
    bool prepare();
    void paint();
    void measureDue();
    void finish();
    // The label of the time-stamp counter's rate, as the plot and the copy show it.
    void formatReferenceLabel(char* text, size_t room);

    HistoryRecord record;
    HistorySampler sampler;
    bool filterAdded;
    bool ownThread;
    bool sampling;
    const char* emulated;
    char processorName[128];
    DWORD ratedMhz;
    char ratedLabel[64];
};
