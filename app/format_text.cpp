#include "app/format_text.h"

#include <stdarg.h>
#include <stdio.h>

int FormatText(char* text, size_t room, const char* format, ...) {
    if (room == 0)
        return 0;
    va_list arguments;
    va_start(arguments, format);
    // _vsnprintf leaves the text without its zero when it fills the buffer exactly, and
    // returns a negative count when it had to cut it.
    const int written = _vsnprintf(text, room, format, arguments);
    va_end(arguments);
    if (written < 0 || static_cast<size_t>(written) >= room) {
        text[room - 1] = '\0';
        return static_cast<int>(room);
    }
    return written;
}
