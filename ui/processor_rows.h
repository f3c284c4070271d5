#pragma once
#include <windows.h>

#include <stddef.h>

// The lines of the main dialog that say whose clock it is: the processor's
// name, what emulation leaves of the figures, and the legend of the marks
// that tell kinds of cores apart.

// The processor's line: its name and, where the program is emulated (by
// emulatedOn, as EmulatedOn gives it), a second sentence, in German and
// English, saying that the time-stamp figures are the emulated counter's rate
// and that no core clock can be measured.
void FormatProcessorLine(const char* name, const char* emulatedOn, char* text, size_t room);

// That second sentence alone, the German line and the English one with
// lineEnd between them.
void FormatEmulationNote(const char* emulatedOn, const char* lineEnd, char* text, size_t room);

// What the core clocks' row shows in place of values under emulation: two
// lines, German and English.
void FormatEmulatedCoreText(const char* emulatedOn, char* text, size_t room);

// Adds, above the result field, a row with the processor's line and, where
// kinds of cores are told apart (kinds of at least two), a row with the
// legend of their marks. Each row is as high as its text needs at the
// dialog's font, wrapped at the field's width, and each line follows in the
// tab order the control before the field.
void AddProcessorRows(HWND dialog, const char* name, const char* emulatedOn, int kinds);

// Adds, above the result field, in the same way, a row with the rated clocks'
// line (rated), as high as it and the longest verdict a test puts under it
// need, and a row with the line of what caps the clocks (caps).
void AddRatedRows(HWND dialog, const char* rated, const char* caps);
