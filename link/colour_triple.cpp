#include "link/colour_triple.h"

#include <cstdlib>

namespace {

// Finds the comma that ends the number at 'position', cuts the text there and
// converts the number. Multi-byte characters are stepped over whole, so a
// trail byte is never taken for a comma. Returns false when the text ends
// before a comma.
bool takeNumber(char*& position, int& number)
{
    char* p = position;
    while (*p != '\0' && *p != ',')
        p = CharNextA(p);
    if (*p != ',')
        return false;
    *p = '\0';
    number = atoi(position);
    position = p + 1;
    return true;
}

}  // namespace

COLORREF parseColourTriple(char* text)
{
    const COLORREF notATriple = static_cast<COLORREF>(-1);
    char* position = text;
    int red = 0;
    int green = 0;
    if (!takeNumber(position, red) || red == -1)
        return notATriple;
    if (!takeNumber(position, green) || green == -1)
        return notATriple;
    if (*position == '\0')
        return notATriple;
    const int blue = atoi(position);
    return static_cast<COLORREF>((blue & 0xFF) * 65536 + (green & 0xFF) * 256 + (red & 0xFF));
}
