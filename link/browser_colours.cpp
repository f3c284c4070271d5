#include "link/browser_colours.h"

#include <cstring>

#include "link/colour_triple.h"
#include "link/link_platform.h"

namespace {

const char* const BrowserSettingsKey = "Software\\Microsoft\\Internet Explorer\\Settings";

// The longest value taken, terminator included.
const DWORD ColourValueSize = 12;

// Reads one value into 'buffer' and parses it; 'colour' is left unchanged
// when either step fails.
void readColour(HKEY key, const char* name, char (&buffer)[ColourValueSize + 1], COLORREF& colour)
{
    // A value stored without its terminator fills all 12 bytes; the extra
    // byte, always NUL, keeps the parse inside the buffer, and clearing the
    // buffer keeps the previous value's remains out of this one.
    memset(buffer, 0, sizeof buffer);
    DWORD type = 0;
    DWORD size = ColourValueSize;
    if (linkPlatform().RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                                        &size) != ERROR_SUCCESS)
        return;
    const COLORREF parsed = parseColourTriple(buffer);
    if (parsed != static_cast<COLORREF>(-1))
        colour = parsed;
}

}  // namespace

void readBrowserColours(COLORREF& linkColour, COLORREF& visitedColour)
{
    // The colours are only read, so reading is all that is asked for: a key
    // the user may read but not change still gives its colours.
    HKEY key = nullptr;
    if (linkPlatform().RegOpenKeyExA(HKEY_CURRENT_USER, BrowserSettingsKey, 0, KEY_READ, &key)
        != ERROR_SUCCESS)
        return;
    char buffer[ColourValueSize + 1];
    readColour(key, "Anchor Color", buffer, linkColour);
    readColour(key, "Anchor Color Visited", buffer, visitedColour);
    linkPlatform().RegCloseKey(key);
}
