#include <gtest/gtest.h>

#include "link/link_label.h"
#include "link_test_support.h"

namespace {

// One label's whole life: made, prepared, given a target, painted, hovered,
// clicked off the link, its window destroyed, the label destroyed. Reports
// whether what it made is gone: the link font, the cursor, the tooltip and
// the page of its stub.
::testing::AssertionResult oneLife(DWORD options)
{
    HFONT linkFont;
    HCURSOR cursor;
    HWND tip;
    void* stub;
    {
        LinkLabel label(options);
        TestDialog host(SS_LEFT, "Zyklomatrix");
        if (!label.attachToWindow(host.label()))
            return ::testing::AssertionFailure() << "not attached";
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
        stub = label.stubAddress();
        if (!linkFont || !cursor || !IsWindow(tip))
            return ::testing::AssertionFailure() << "font, cursor or tooltip missing";
    }
    ICONINFO info = {};
    MEMORY_BASIC_INFORMATION page = {};
    if (GetObjectType(linkFont) != 0)
        return ::testing::AssertionFailure() << "the link font is left";
    if (GetIconInfo(cursor, &info))
        return ::testing::AssertionFailure() << "the cursor is left";
    if (IsWindow(tip))
        return ::testing::AssertionFailure() << "the tooltip is left";
    if (VirtualQuery(stub, &page, sizeof page) != sizeof page || page.State != MEM_FREE)
        return ::testing::AssertionFailure() << "the stub's page is left";
    return ::testing::AssertionSuccess();
}

}  // namespace

TEST(LinkHandles, EveryKindOfLabelLeavesNothingBehind)
{
    const DWORD optionSets[] = {0, HoverOnlyStyle, MarkupText | MarkupBold, CommandLink};
    for (DWORD options : optionSets)
        EXPECT_TRUE(oneLife(options)) << "options 0x" << std::hex << options;
}
