#include <gtest/gtest.h>

#include "link/link_options.h"
#include "link/link_rules.h"

TEST(StaticStyleDrawsLink, ImageAndFrameTypesPaintThemselvesReadingAllEightLowBits)
{
    struct Case {
        LONG style;
        bool drawsLink;
    } cases[] = {
        {SS_LEFT, true},         {SS_CENTER, true},       {SS_RIGHT, true},
        {SS_ICON, false},        {SS_BLACKRECT, false},   {SS_WHITEFRAME, false},
        {0x0A, true},            {0x0C, true},            {SS_OWNERDRAW, false},
        {SS_BITMAP, false},      {SS_ENHMETAFILE, false}, {0x10, true},
        {SS_ETCHEDHORZ, true},   {SS_ICON | SS_NOPREFIX, true},
        {SS_BITMAP | 0x20, true}, {SS_GRAYRECT | 0x40, true},
        {SS_ICON | SS_NOTIFY, false}, {static_cast<LONG>(WS_CHILD | WS_VISIBLE | SS_BITMAP), false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.drawsLink, staticStyleDrawsLink(c.style)) << "style 0x" << std::hex << c.style;
}

TEST(Alignment, CentredAndRightAlignedTextMoveByTheRemainingWidth)
{
    struct Case {
        LONG style;
        LONG clientRight;
        LONG measuredRight;
        LONG shift;
        UINT format;
    } cases[] = {
        {SS_LEFT, 300, 101, 0, 0},
        {SS_CENTER, 300, 101, 99, DT_CENTER},
        {SS_RIGHT, 300, 101, 199, DT_RIGHT},
        {SS_CENTER, 300, 300, 0, DT_CENTER},
        // Wider than the client area: the division truncates toward zero.
        {SS_CENTER, 300, 303, -1, DT_CENTER},
        {SS_RIGHT, 300, 303, -3, DT_RIGHT},
        {SS_CENTER | SS_NOTIFY, 11, 0, 5, DT_CENTER},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.shift, alignmentShift(c.style, c.clientRight, c.measuredRight))
            << "style " << c.style << ", client " << c.clientRight << ", text " << c.measuredRight;
        EXPECT_EQ(c.format, alignmentFormat(c.style)) << "style " << c.style;
    }
}

TEST(LinkAppearance, ColourFollowsEnabledThenVisitedAndFontFollowsHover)
{
    const COLORREF link = 1, visited = 2, gray = 3;
    EXPECT_EQ(link, chooseLinkColour(true, false, link, visited, gray));
    EXPECT_EQ(visited, chooseLinkColour(true, true, link, visited, gray));
    EXPECT_EQ(gray, chooseLinkColour(false, true, link, visited, gray));
    EXPECT_EQ(gray, chooseLinkColour(false, false, link, visited, gray));

    HFONT linkFont = reinterpret_cast<HFONT>(0x10), textFont = reinterpret_cast<HFONT>(0x20);
    struct Case {
        HFONT linkFont;
        DWORD options;
        BYTE state;
        HFONT expected;
    } cases[] = {
        {linkFont, 0, DrawsLink, linkFont},
        {linkFont, 0, DrawsLink | Hovering, linkFont},
        {linkFont, HoverOnlyStyle, DrawsLink, textFont},
        {linkFont, HoverOnlyStyle, DrawsLink | Hovering, linkFont},
        {nullptr, 0, DrawsLink, textFont},
        {nullptr, HoverOnlyStyle, Hovering, textFont},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, chooseLinkFont(c.linkFont, textFont, c.options, c.state))
            << "link font " << c.linkFont << ", options " << c.options << ", state " << int(c.state);
}

TEST(LinkAppearance, LinkFontIsUnderlinedOrBoldAsTheOptionsSay)
{
    struct Case {
        DWORD options;
        LONG weight;
        BYTE underline;
    } cases[] = {
        {0, FW_NORMAL, 1},
        {NoLinkUnderline, FW_NORMAL, 0},
        {MarkupText, FW_NORMAL, 1},
        {MarkupBold, FW_NORMAL, 1},
        {MarkupText | MarkupBold, FW_BOLD, 0},
        {MarkupText | MarkupBold | NoLinkUnderline, FW_BOLD, 0},
        {MarkupBold | NoLinkUnderline, FW_NORMAL, 0},
    };
    for (const Case& c : cases) {
        LOGFONTA font = {};
        font.lfWeight = FW_NORMAL;
        deriveLinkFontDescription(font, c.options);
        EXPECT_EQ(c.weight, font.lfWeight) << "options " << c.options;
        EXPECT_EQ(c.underline, font.lfUnderline) << "options " << c.options;
    }
}
