#include "memory_dialog.h"

MemoryDialog::MemoryDialog(const char* controlClass)
{
    addDword(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);
    addDword(0);                       // extended style
    add(controlClass != nullptr ? 1 : 0);  // controls
    add(0);                            // x
    add(0);                            // y
    add(120);                          // cx
    add(60);                           // cy
    add(0);                            // no menu
    add(0);                            // default class
    addText("Probe");
    if (controlClass != nullptr) {
        alignToDword();
        addDword(WS_CHILD | WS_VISIBLE);
        addDword(0);
        add(5);
        add(5);
        add(50);
        add(14);
        add(100);  // control id
        addText(controlClass);
        addText("");
        add(0);  // no creation data
    }
}

void MemoryDialog::addDword(DWORD value)
{
    add(LOWORD(value));
    add(HIWORD(value));
}

void MemoryDialog::addText(const char* text)
{
    do {
        add(static_cast<WORD>(static_cast<unsigned char>(*text)));
    } while (*text++ != '\0');
}

void MemoryDialog::alignToDword()
{
    if (words.size() % 2 != 0)
        add(0);
}
