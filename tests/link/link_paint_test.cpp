#include <gtest/gtest.h>

#include "link/link_label.h"
#include "link_test_support.h"

namespace {

const DWORD Background = 0xFFFFFF;  // the test dialog's static brush

struct Census {
    int colourInside = 0;   // pixels of the colour inside linkRect
    int colourOutside = 0;  // ... outside it
    int inkOutside = 0;     // pixels other than the background outside linkRect
    bool underline = false; // a row of the colour across most of linkRect
};

Census census(const Rendering& picture, const RECT& link, DWORD colour)
{
    Census out;
    for (int y = 0; y < picture.height; ++y) {
        int run = 0;
        for (int x = 0; x < picture.width; ++x) {
            const bool inside = x >= link.left && x < link.right && y >= link.top && y < link.bottom;
            const DWORD pixel = picture.at(x, y);
            if (pixel == colour)
                ++(inside ? out.colourInside : out.colourOutside);
            else if (!inside && pixel != Background)
                ++out.inkOutside;
            run = pixel == colour && inside ? run + 1 : 0;
            if (run * 10 >= (link.right - link.left) * 8)
                out.underline = true;
        }
    }
    return out;
}

}  // namespace

TEST(LinkPaint, PlainTextIsDrawnInTheLinkColourWithinTheLinkRectangle)
{
    struct Case {
        const char* name;
        DWORD options;
        DWORD style;
        bool underline;
    } cases[] = {
        {"left", 0, SS_LEFT, true},
        {"centred", 0, SS_CENTER, true},
        {"right", 0, SS_RIGHT, true},
        {"no underline", NoLinkUnderline, SS_LEFT, false},
    };
    for (const Case& c : cases) {
        LinkLabel label(c.options);
        TestDialog host(c.style, "Zyklomatrix");
        ASSERT_TRUE(label.attachToWindow(host.label())) << c.name;
        label.prepareControl();
        const RECT link = label.linkRect();
        RECT client;
        GetClientRect(label.window(), &client);
        if (c.style == SS_CENTER) {
            EXPECT_NEAR(client.right - link.right, link.left, 1) << c.name;
        } else if (c.style == SS_RIGHT) {
            EXPECT_EQ(client.right, link.right) << c.name;
        }

        const Census seen = census(renderClient(label.window()), link, rgbOf(label.linkColour()));
        EXPECT_GT(seen.colourInside, 10) << c.name;
        EXPECT_EQ(0, seen.inkOutside) << c.name;
        EXPECT_EQ(c.underline, seen.underline) << c.name;
    }
}

TEST(LinkPaint, DisabledLinkIsGreyEvenWhenVisited)
{
    LinkLabel label;
    TestDialog host(SS_LEFT, "Zyklomatrix");
    ASSERT_TRUE(label.attachToWindow(host.label()));
    label.prepareControl();
    EnableWindow(label.window(), FALSE);
    const Rendering picture = renderClient(label.window());
    EXPECT_GT(census(picture, label.linkRect(), rgbOf(GetSysColor(COLOR_GRAYTEXT))).colourInside, 10);
    EXPECT_EQ(0, census(picture, label.linkRect(), rgbOf(label.linkColour())).colourInside);
}

TEST(LinkPaint, MarkupDrawsOnlyTheSpanInTheLinkColour)
{
    LinkLabel label(MarkupText);
    TestDialog host(SS_LEFT, "Visit <a>our page</a> today");
    ASSERT_TRUE(label.attachToWindow(host.label()));
    label.prepareControl();
    const RECT link = label.linkRect();
    EXPECT_GT(link.left, 0) << "the span starts after the text before it";
    EXPECT_EQ(0, link.top);

    const Census seen = census(renderClient(label.window()), link, rgbOf(label.linkColour()));
    EXPECT_GT(seen.colourInside, 10);
    EXPECT_EQ(0, seen.colourOutside);
    EXPECT_GT(seen.inkOutside, 10) << "the text before and after is drawn too";
}

TEST(LinkPaint, LabelWithoutTextDrawsNothingAndIsNotLive)
{
    LinkLabel label;
    TestDialog host(SS_LEFT, "");
    ASSERT_TRUE(label.attachToWindow(host.label()));
    label.prepareControl();
    EXPECT_FALSE(label.isLive());
    EXPECT_TRUE(IsRectEmpty(&label.linkRect()));
    const Rendering picture = renderClient(label.window());
    for (DWORD pixel : picture.pixels)
        ASSERT_EQ(Background, pixel);
}

TEST(LinkPreparation, OnlyTextStaticsAreDrawnByTheLabel)
{
    struct Case {
        const char* className;
        DWORD style;
        bool drawsLink;
        DWORD addedStyle;
    } cases[] = {
        {"Static", SS_LEFT, true, SS_NOTIFY},
        {"Static", SS_ICON, false, SS_NOTIFY},
        {"Static", SS_BLACKFRAME, false, SS_NOTIFY},
        {"Static", SS_LEFT | SS_NOTIFY, true, 0},
        {"Button", BS_PUSHBUTTON, true, 0},
    };
    for (const Case& c : cases) {
        LinkLabel label;
        TestDialog host(c.style, c.style == SS_ICON ? "" : "Zyklomatrix", c.className);
        const LONG before = GetWindowLongA(host.label(), GWL_STYLE);
        ASSERT_TRUE(label.attachToWindow(host.label()));
        label.prepareControl();
        EXPECT_EQ(static_cast<LONG>(before | c.addedStyle), GetWindowLongA(host.label(), GWL_STYLE))
            << c.className << " style " << c.style;
        EXPECT_EQ(c.drawsLink, (label.state() & DrawsLink) != 0) << c.className << " style " << c.style;
        EXPECT_EQ(c.drawsLink, label.linkFont() != nullptr) << c.className << " style " << c.style;
        EXPECT_NE(nullptr, label.handCursor());
        if (!c.drawsLink) {
            label.setCaption("text");
            RECT client;
            GetClientRect(host.label(), &client);
            EXPECT_TRUE(EqualRect(&client, &label.linkRect())) << "hit area of style " << c.style;
        }
    }
}
