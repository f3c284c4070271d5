#pragma once
#include <stddef.h>

// Formats like sprintf into text, which holds room bytes, and always ends it with a zero when
// room is not 0. Returns the length written without that zero, or room when the text did not
// fit and was cut (the caller tests for a result of room or more, as with snprintf). Built on
// the runtime library's _vsnprintf, which every msvcrt has, so that no emulation of the newer
// length-counting functions is linked into the program.
int FormatText(char* text, size_t room, const char* format, ...);
