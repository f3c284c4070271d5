#include "link/link_rules.h"

#include "link/link_options.h"

bool staticStyleDrawsLink(LONG style)
{
    const int type = style & 0xFF;
    const bool imageOrFrame = (type >= 3 && type <= 9) || (type >= 13 && type <= 15);
    return !imageOrFrame;
}

UINT alignmentFormat(LONG style)
{
    if (style & SS_CENTER)
        return DT_CENTER;
    if (style & SS_RIGHT)
        return DT_RIGHT;
    return 0;
}

LONG alignmentShift(LONG style, LONG clientRight, LONG measuredRight)
{
    if (style & SS_CENTER)
        return (clientRight - measuredRight) / 2;
    if (style & SS_RIGHT)
        return clientRight - measuredRight;
    return 0;
}

COLORREF chooseLinkColour(bool enabled, bool visited, COLORREF linkColour, COLORREF visitedColour,
                          COLORREF grayText)
{
    if (!enabled)
        return grayText;
    return visited ? visitedColour : linkColour;
}

HFONT chooseLinkFont(HFONT linkFont, HFONT textFont, DWORD options, BYTE state)
{
    if (linkFont && (!(options & HoverOnlyStyle) || (state & Hovering)))
        return linkFont;
    return textFont;
}

void deriveLinkFontDescription(LOGFONTA& font, DWORD options)
{
    if ((options & MarkupText) && (options & MarkupBold))
        font.lfWeight = FW_BOLD;
    else if (!(options & NoLinkUnderline))
        font.lfUnderline = 1;
}
