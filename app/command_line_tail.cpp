#include "app/command_line_tail.h"

const char* CommandLineTail(const char* commandLine) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(commandLine);
    if (*p == '"') {
        ++p;
        while (*p != '\0' && *p != '"')
            ++p;
        if (*p == '"')
            ++p;
    } else {
        while (*p > 0x20)
            ++p;
    }
    while (*p != '\0' && *p <= 0x20)
        ++p;
    return reinterpret_cast<const char*>(p);
}

int StartupShowCommand(const STARTUPINFOA& startup) {
    if (startup.dwFlags & STARTF_USESHOWWINDOW)
        return startup.wShowWindow;
    return SW_SHOWDEFAULT;
}
