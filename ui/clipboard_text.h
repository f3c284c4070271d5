#pragma once
#include <windows.h>

// Writes a text of at most room bytes, with its terminating zero, and returns its length
// without that zero, as snprintf does, also when it did not fit.
typedef size_t (*ClipboardWriter)(const void* source, char* text, size_t room);

// Puts the text write makes of source on the clipboard as CF_TEXT, which the system turns into
// its other text formats, owned by the given window. Returns whether it did; an empty text is
// not put there, and the clipboard stays as it was.
bool PutTextOnClipboard(HWND owner, ClipboardWriter write, const void* source);

// The two halves of that: the text write makes of source, in memory for the clipboard (null
// where it is empty or there is no memory), and putting such memory on the clipboard, which
// then owns it (freed here where it does not). Opening and emptying the clipboard waits for
// the window that owned it before, so whatever the text is read from need not be locked
// meanwhile.
HGLOBAL ClipboardTextOf(ClipboardWriter write, const void* source);
bool PutOnClipboard(HWND owner, HGLOBAL text);

// Whether a message is the copy keystroke, Ctrl+C: Ctrl alone, as Ctrl with Alt is AltGr on
// many keyboards.
bool IsCopyKeystroke(const MSG& message);
