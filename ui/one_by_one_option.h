#pragma once
#include <windows.h>

#include "measure/processor_workers.h"

// The main dialog's choice of measuring the processors one by one: the
// "Einzeln / One by one" check box in the row of the test's options, and the
// legend line, in a row of its own right above the result rows, that says how
// far such a test has got and, after it, what the mark of the fastest cores
// means. Both are created when the dialog opens; the check box is a "Button"
// with an identifier, so the control-state store remembers it with the
// dialog's other settings.
class OneByOneOption {
public:
    OneByOneOption();

    // Creates the check box in the option row, from the labels' left edge to
    // the lists' right edge, after `after` in the tab order, then opens the
    // legend's row above the result field and creates the legend in it.
    void create(HWND dialog, const RECT& optionRow, HWND after);
    // The check box can be used only where the workers measure.
    void enable(bool workersMeasure) const;
    bool checked() const;
    // While a one-by-one test runs, its progress; after one that marked
    // fastest cores, what the mark means; otherwise nothing.
    void showLegend(const OneByOneProgress& progress, LONG processors, bool marked) const;

private:
    HWND box;
    HWND legend;
};
