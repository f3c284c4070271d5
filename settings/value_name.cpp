#include "settings/value_name.h"

#include <cstring>

namespace {

// 16 base-4 digits hold any 32-bit identifier.
char base4Name[17];
// Up to three characters of a control's text and the terminating zero.
char textName[4];

}  // namespace

const char* Base4ValueName(int identifier)
{
    char digits[16];
    int count = 0;
    unsigned value = static_cast<unsigned>(identifier);
    do {
        digits[count++] = static_cast<char>('0' + (value & 3));
        value >>= 2;
    } while (value != 0);
    for (int i = 0; i < count; ++i)
        base4Name[i] = digits[count - 1 - i];
    base4Name[count] = '\0';
    return base4Name;
}

const char* ValueNameFromText(HWND child)
{
    memset(textName, 0, sizeof textName);
    GetWindowTextA(child, textName, sizeof textName);
    if (strlen(textName) >= 2)
        return textName;
    // An identifier from 64 upwards needs more than the text buffer holds,
    // so the fallback name has its own buffer.
    return Base4ValueName(GetDlgCtrlID(child));
}
