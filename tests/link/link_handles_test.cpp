#include <gtest/gtest.h>

#include "link/link_label.h"
#include "link_test_support.h"

namespace {

struct Counts {
    DWORD gdi;
    DWORD user;
    DWORD handles;
};

Counts countsNow()
{
    Counts counts = {GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS),
                     GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), 0};
    GetProcessHandleCount(GetCurrentProcess(), &counts.handles);
    return counts;
}

// One label's whole life: made, prepared, given a target, painted, hovered,
// clicked off the link, destroyed. Reports whether what it made is gone.
bool oneLife(DWORD options)
{
    HFONT linkFont;
    HCURSOR cursor;
    HWND tip;
    {
        LinkLabel label(options);
        TestDialog host(SS_LEFT, "Zyklomatrix");
        if (!label.attachToWindow(host.label()))
            return false;
        label.prepareControl();
        label.setTarget("https://example.invalid/");
        renderClient(label.window());
        const RECT& link = label.linkRect();
        SendMessageA(label.window(), WM_MOUSEMOVE, 0, MAKELPARAM(link.left + 1, link.top + 1));
        SendMessageA(label.window(), WM_MOUSELEAVE, 0, 0);
        SendMessageA(label.window(), WM_LBUTTONDOWN, 0, MAKELPARAM(link.right + 2, link.bottom + 2));
        SendMessageA(label.window(), WM_LBUTTONUP, 0, MAKELPARAM(link.right + 2, link.bottom + 2));
        linkFont = label.linkFont();
        cursor = label.handCursor();
        tip = label.tipWindow();
        if (!linkFont || !cursor || !IsWindow(tip))
            return false;
    }
    ICONINFO info = {};
    return GetObjectType(linkFont) == 0 && !GetIconInfo(cursor, &info) && !IsWindow(tip);
}

}  // namespace

TEST(LinkHandles, AThousandLabelsLeaveNothingBehind)
{
    const DWORD optionSets[] = {0, HoverOnlyStyle, MarkupText | MarkupBold, CommandLink};
    ASSERT_TRUE(oneLife(0));  // the first life loads what stays for the process
    const Counts before = countsNow();
    for (int i = 0; i < 1000; ++i)
        ASSERT_TRUE(oneLife(optionSets[i % 4])) << "life " << i;
    const Counts after = countsNow();
    // Where the platform does not count (zero), the checks of each life stand alone.
    EXPECT_EQ(before.gdi, after.gdi);
    EXPECT_EQ(before.user, after.user);
    EXPECT_EQ(before.handles, after.handles);
}
