#pragma once
#include <windows.h>

// The results the main dialog shows after its latest test, as text to paste
// into a message or a spreadsheet: taken from the two result rows as they
// stand, so that what is copied is what is seen.
struct ShownResults {
    enum Kind {
        Nothing,       // no test has shown a result yet
        PerProcessor,  // one value per processor in each row
        Estimate,      // one estimate, and the core clock beside it
    };
    Kind kind;
    LONG windowMs;
    LONG repetitions;
    bool oneByOne;  // per processor: measured one by one rather than all at once
    // The processor's name; null or empty for none.
    const char* processor;
    // What emulates the program's x86 code, as EmulatedOn gives it: null
    // where it runs on an x86 processor.
    const char* emulatedOn;
    // The rated clocks' line, the latest test's verdict on them and the line
    // of what caps the clocks; each null or empty for none.
    const char* rated;
    const char* verdict;
    const char* caps;
};

// Writes the text of the results into text, at most room bytes with the
// terminating zero, and returns its length without that zero (as snprintf
// does, also when it did not fit). One header line with the program's name
// and version (the dialog's caption), the processor count and the test's
// window and repetitions and, per processor, whether they were measured "all
// at once" or "one by one"; a line with the processor's name; under emulation
// a line saying what that leaves of the figures; then, per processor, its
// number, its time-stamp figure, its core clock (none under emulation) and
// the mark of its kind of core where the rows show one, then the mark of a
// fastest core where the row shows one, separated by tabs,
// so that they paste as columns; or one line with the estimate and the core
// clock. rates and cores are the rows' texts: values separated by tabs and
// line ends, each value possibly followed by a blank and its mark. Lines end
// with CR LF, as text on the clipboard does. Nothing at all before a test.
size_t FormatResultCopy(const ShownResults& results, const char* caption, const char* rates, const char* cores,
                        char* text, size_t room);

// Puts that text on the clipboard as CF_TEXT, which the system turns into
// its other text formats, owned by the given window. Returns whether it did;
// before a test it does nothing and returns false, leaving the clipboard as
// it was.
bool CopyResults(HWND owner, const ShownResults& results, const char* caption, const char* rates,
                 const char* cores);
