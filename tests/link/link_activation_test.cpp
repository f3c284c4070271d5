#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "link/link_label.h"
#include "link_test_support.h"

namespace {

// The program beside this one that ends as soon as it starts.
std::string openTargetPath()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string text = path;
    return text.substr(0, text.find_last_of("\\/") + 1) + "link_open_target.exe";
}

// Clicks the middle of the link: press, then release.
void click(const LinkLabel& label)
{
    const RECT& link = label.linkRect();
    const LPARAM point = MAKELPARAM((link.left + link.right) / 2, (link.top + link.bottom) / 2);
    SendMessageA(label.window(), WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageA(label.window(), WM_LBUTTONUP, 0, point);
}

// The text of the label's tools, "|"-separated, asked from the tooltip.
std::string toolTexts(const LinkLabel& label)
{
    std::string texts;
    const LRESULT count = SendMessageA(label.tipWindow(), TTM_GETTOOLCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char text[256] = {};
        TOOLINFOA tool = {};
        tool.cbSize = TTTOOLINFOA_V2_SIZE;
        tool.lpszText = text;
        SendMessageA(label.tipWindow(), TTM_ENUMTOOLSA, i, reinterpret_cast<LPARAM>(&tool));
        EXPECT_EQ(label.window(), tool.hwnd);
        EXPECT_EQ(1u, tool.uId);
        EXPECT_TRUE(EqualRect(&tool.rect, &label.linkRect()));
        texts += (i ? "|" : "") + std::string(text);
    }
    return texts;
}

}  // namespace

TEST(LinkActivation, CommandModeSendsWmCommandToTheParent)
{
    LinkLabel label(CommandLink);
    TestDialog host(SS_LEFT, "Zyklomatrix");
    ASSERT_TRUE(label.attachToWindow(host.label()));
    label.prepareControl();
    click(label);
    EXPECT_EQ(nullptr, GetCapture());
    ASSERT_EQ(1u, TestDialog::notices().size());
    const TestDialog::Notice& notice = TestDialog::notices()[0];
    EXPECT_EQ(static_cast<UINT>(WM_COMMAND), notice.message);
    EXPECT_EQ(static_cast<WPARAM>(MAKEWPARAM(LabelId, 0)), notice.wParam);
    EXPECT_EQ(reinterpret_cast<LPARAM>(label.window()), notice.lParam);
    EXPECT_FALSE(label.state() & Visited);
}

TEST(LinkActivation, NotifyModeSendsNmClick)
{
    LinkLabel label(CommandLink | NotifyLink);
    TestDialog host(SS_LEFT, "Zyklomatrix");
    ASSERT_TRUE(label.attachToWindow(host.label()));
    label.prepareControl();
    SendMessageA(label.window(), WM_CHAR, VK_RETURN, 0);
    ASSERT_EQ(1u, TestDialog::notices().size());
    const TestDialog::Notice& notice = TestDialog::notices()[0];
    EXPECT_EQ(static_cast<UINT>(WM_NOTIFY), notice.message);
    EXPECT_EQ(static_cast<WPARAM>(LabelId), notice.wParam);
    EXPECT_EQ(label.window(), notice.header.hwndFrom);
    EXPECT_EQ(static_cast<UINT_PTR>(LabelId), notice.header.idFrom);
    EXPECT_EQ(static_cast<UINT>(NM_CLICK), notice.header.code);
    EXPECT_FALSE(label.state() & Visited);
}

TEST(LinkActivation, OpeningMarksVisitedOnlyWhenItSucceeds)
{
    struct Case {
        std::string target;
        bool visited;
    } cases[] = {
        {openTargetPath(), true},
        {"C:\\no such folder\\no such program.exe", false},
    };
    for (const Case& c : cases) {
        LinkLabel label;
        TestDialog host(SS_LEFT, "Zyklomatrix");
        ASSERT_TRUE(label.attachToWindow(host.label()));
        label.prepareControl();
        ASSERT_TRUE(label.setTarget(c.target.c_str()));
        const COLORREF expected = c.visited ? label.visitedColour() : label.linkColour();
        click(label);
        EXPECT_EQ(c.visited, (label.state() & Visited) != 0) << c.target;
        EXPECT_TRUE(TestDialog::notices().empty());

        int inColour = 0;
        for (DWORD pixel : renderClient(label.window()).pixels)
            inColour += pixel == rgbOf(expected);
        EXPECT_GT(inColour, 10) << c.target;
    }
}

TEST(LinkTooltip, OneToolShowsTheLatestTargetAndGoesWithTheLabel)
{
    LinkLabel label;
    TestDialog host(SS_LEFT, "Zyklomatrix");
    ASSERT_TRUE(label.attachToWindow(host.label()));
    label.prepareControl();
    HWND tip = label.tipWindow();
    char className[32] = {};
    GetClassNameA(tip, className, sizeof className);
    EXPECT_STREQ("tooltips_class32", className);
    // A child cannot own a window: the platform makes the label's dialog the owner.
    EXPECT_EQ(GetAncestor(label.window(), GA_ROOT), GetWindow(tip, GW_OWNER));
    EXPECT_EQ("Zyklomatrix", toolTexts(label));

    ASSERT_TRUE(label.setTarget("https://example.invalid/?seite=Freeware&SID=Zyklomatrix"));
    EXPECT_EQ("https://example.invalid/?seite=Freeware&SID=Zyklomatrix", toolTexts(label));

    DestroyWindow(label.window());
    EXPECT_FALSE(IsWindow(tip));
    EXPECT_EQ(nullptr, label.tipWindow());
    EXPECT_EQ(nullptr, label.window());
}
