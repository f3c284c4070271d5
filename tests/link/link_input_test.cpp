#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "link/link_label.h"
#include "link_test_support.h"

namespace {

// What the fakes saw, in order, and what they answer.
std::string calls;
HWND capture;
POINT cursorOnScreen;
INT_PTR shellAnswer;

HCURSOR WINAPI fakeSetCursor(HCURSOR) { calls += "SetCursor "; return nullptr; }
BOOL WINAPI fakeGetCursorPos(LPPOINT point) { *point = cursorOnScreen; return TRUE; }
HWND WINAPI fakeSetFocus(HWND) { calls += "SetFocus "; return nullptr; }
HWND WINAPI fakeSetCapture(HWND window) { calls += "SetCapture "; capture = window; return nullptr; }
HWND WINAPI fakeGetCapture() { return capture; }
BOOL WINAPI fakeReleaseCapture() { calls += "ReleaseCapture "; capture = nullptr; return TRUE; }
BOOL WINAPI fakeInvalidateRect(HWND, const RECT* rect, BOOL erase)
{
    calls += rect ? "InvalidateLink" : "InvalidateAll";
    calls += erase ? " " : "(no erase) ";
    return TRUE;
}
BOOL WINAPI fakeUpdateWindow(HWND) { calls += "Update "; return TRUE; }
BOOL WINAPI fakeTrackMouseEvent(LPTRACKMOUSEEVENT track)
{
    calls += track->dwFlags == TME_LEAVE && track->cbSize == sizeof *track ? "Track " : "BadTrack ";
    return TRUE;
}
HINSTANCE WINAPI fakeShellExecuteA(HWND, LPCSTR verb, LPCSTR, LPCSTR, LPCSTR, INT show)
{
    calls += std::string(verb) == "open" && show == SW_SHOWNORMAL ? "Open " : "BadOpen ";
    return reinterpret_cast<HINSTANCE>(shellAnswer);
}
LRESULT WINAPI fakeSendMessageA(HWND, UINT message, WPARAM, LPARAM)
{
    if (message == TTM_RELAYEVENT)
        calls += "Relay ";
    else if (message == WM_COMMAND)
        calls += "Command ";
    else if (message == WM_NOTIFY)
        calls += "Notify ";
    return 0;
}

enum Where { In, Out };
struct Step {
    UINT message;
    Where where;
    WPARAM wParam;
};

struct Row {
    const char* name;
    DWORD options;
    bool target;          // false: the label has a caption but no target
    bool captured;        // the label holds the capture before the step
    std::vector<Step> before;  // run first, unlogged
    Step step;
    BOOL handled;
    LRESULT result;
    const char* calls;
    BYTE state;           // Hovering and Visited after the step
    INT_PTR shell;
};

class LinkInput : public ::testing::Test {
protected:
    BOOL send(LinkLabel& label, const Step& step, LRESULT& result)
    {
        const RECT& link = label.linkRect();
        POINT point = step.where == In ? POINT{(link.left + link.right) / 2, (link.top + link.bottom) / 2}
                                       : POINT{link.right + 3, link.bottom + 3};
        cursorOnScreen = point;
        ClientToScreen(label.window(), &cursorOnScreen);
        const LPARAM lParam = step.message == WM_SETCURSOR ? MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)
                                                           : MAKELPARAM(point.x, point.y);
        result = 0x7777;
        return label.handleMessage(label.window(), step.message, step.wParam, lParam, result, 0);
    }

    void installFakes()
    {
        LinkPlatform& platform = linkPlatform();
        platform.SetCursor = fakeSetCursor;
        platform.GetCursorPos = fakeGetCursorPos;
        platform.SetFocus = fakeSetFocus;
        platform.SetCapture = fakeSetCapture;
        platform.GetCapture = fakeGetCapture;
        platform.ReleaseCapture = fakeReleaseCapture;
        platform.InvalidateRect = fakeInvalidateRect;
        platform.UpdateWindow = fakeUpdateWindow;
        platform.TrackMouseEvent = fakeTrackMouseEvent;
        platform.ShellExecuteA = fakeShellExecuteA;
        platform.SendMessageA = fakeSendMessageA;
    }
};

}  // namespace

TEST_F(LinkInput, MessageTableRowByRow)
{
    const BYTE none = 0;
    const Row rows[] = {
        {"move over link", 0, true, false, {}, {WM_MOUSEMOVE, In, 0}, TRUE, 0, "Relay SetCursor ", none, 33},
        {"move off link", 0, true, false, {}, {WM_MOUSEMOVE, Out, 0}, FALSE, 0, "Relay ", none, 33},
        {"move over link of a label that is not live", 0, false, false, {}, {WM_MOUSEMOVE, In, 0}, FALSE, 0, "Relay ", none, 33},
        {"no relay", NoTipRelay, true, false, {}, {WM_MOUSEMOVE, In, 0}, TRUE, 0, "SetCursor ", none, 33},
        {"hover entry", HoverOnlyStyle, true, false, {}, {WM_MOUSEMOVE, In, 0}, TRUE, 0,
         "Relay SetCursor InvalidateLink Update Track ", Hovering, 33},
        {"hover stays, tracked once", HoverOnlyStyle, true, false, {{WM_MOUSEMOVE, In, 0}}, {WM_MOUSEMOVE, In, 0}, TRUE, 0,
         "Relay SetCursor ", Hovering, 33},
        {"hover ends off link", HoverOnlyStyle, true, false, {{WM_MOUSEMOVE, In, 0}}, {WM_MOUSEMOVE, Out, 0}, FALSE, 0,
         "Relay InvalidateLink Update ", none, 33},
        {"hover ends on leave", HoverOnlyStyle, true, false, {{WM_MOUSEMOVE, In, 0}}, {WM_MOUSELEAVE, Out, 0}, TRUE, 0,
         "InvalidateLink Update ", none, 33},
        {"re-entry tracks again", HoverOnlyStyle, true, false, {{WM_MOUSEMOVE, In, 0}, {WM_MOUSELEAVE, Out, 0}},
         {WM_MOUSEMOVE, In, 0}, TRUE, 0, "Relay SetCursor InvalidateLink Update Track ", Hovering, 33},
        {"leave without hover", 0, true, false, {}, {WM_MOUSELEAVE, Out, 0}, TRUE, 0, "", none, 33},
        {"press on link", 0, true, false, {}, {WM_LBUTTONDOWN, In, 0}, TRUE, 0, "Relay SetFocus SetCapture ", none, 33},
        {"press of a label that is not live", 0, false, false, {}, {WM_LBUTTONDOWN, In, 0}, TRUE, 0, "Relay SetFocus SetCapture ", none, 33},
        {"press off link", 0, true, false, {}, {WM_LBUTTONDOWN, Out, 0}, TRUE, 0, "Relay ", none, 33},
        {"release on link opens", 0, true, true, {}, {WM_LBUTTONUP, In, 0}, TRUE, 0,
         "Relay ReleaseCapture Open InvalidateAll ", Visited, 33},
        {"failed open changes nothing", 0, true, true, {}, {WM_LBUTTONUP, In, 0}, TRUE, 0,
         "Relay ReleaseCapture Open ", none, 32},
        {"release off link", 0, true, true, {}, {WM_LBUTTONUP, Out, 0}, TRUE, 0, "Relay ReleaseCapture ", none, 33},
        {"release without capture", 0, true, false, {}, {WM_LBUTTONUP, In, 0}, TRUE, 0, "Relay ", none, 33},
        {"release of a label that is not live", 0, false, true, {}, {WM_LBUTTONUP, In, 0}, TRUE, 0, "Relay ReleaseCapture ", none, 33},
        {"enter opens", 0, true, false, {}, {WM_CHAR, In, VK_RETURN}, TRUE, 0, "Open InvalidateAll ", Visited, 33},
        {"space opens", 0, true, false, {}, {WM_CHAR, In, VK_SPACE}, TRUE, 0, "Open InvalidateAll ", Visited, 33},
        {"other key swallowed", 0, true, false, {}, {WM_CHAR, In, 'a'}, TRUE, 0, "", none, 33},
        {"command link", CommandLink, false, false, {}, {WM_CHAR, In, VK_RETURN}, TRUE, 0, "Command ", none, 33},
        {"notify link", CommandLink | NotifyLink, true, false, {}, {WM_CHAR, In, VK_SPACE}, TRUE, 0, "Notify ", none, 33},
        {"notify alone opens", NotifyLink, true, false, {}, {WM_CHAR, In, VK_RETURN}, TRUE, 0, "Open InvalidateAll ", Visited, 33},
        {"dialog code", 0, true, false, {}, {WM_GETDLGCODE, In, 0}, TRUE, DLGC_WANTCHARS, "", none, 33},
        {"cursor over link", 0, true, false, {}, {WM_SETCURSOR, In, 0}, TRUE, 1, "", none, 33},
        {"cursor off link", 0, true, false, {}, {WM_SETCURSOR, Out, 0}, FALSE, 0, "", none, 33},
        {"cursor over command link", CommandLink, false, false, {}, {WM_SETCURSOR, In, 0}, TRUE, 1, "", none, 33},
        {"cursor of a label that is not live", 0, false, false, {}, {WM_SETCURSOR, In, 0}, FALSE, 0, "", none, 33},
        {"erase", 0, true, false, {}, {WM_ERASEBKGND, In, 0}, TRUE, 1, "", none, 33},
        {"focus gained", 0, true, false, {}, {WM_SETFOCUS, In, 0}, TRUE, 0, "InvalidateAll ", none, 33},
        {"focus lost", 0, true, false, {}, {WM_KILLFOCUS, In, 0}, TRUE, 0, "InvalidateAll ", none, 33},
        {"enable", 0, true, false, {}, {WM_ENABLE, In, TRUE}, TRUE, 0, "InvalidateAll Update ", none, 33},
        {"ui state", 0, true, false, {}, {WM_UPDATEUISTATE, In, 0}, TRUE, 0, "", none, 33},
        {"other message", 0, true, false, {}, {WM_KEYDOWN, In, 'A'}, FALSE, 0, "", none, 33},
    };
    for (const Row& row : rows) {
        LinkLabel label(row.options);
        TestDialog host(SS_LEFT, row.target ? "Zyklomatrix" : "");
        ASSERT_TRUE(label.attachToWindow(host.label())) << row.name;
        label.prepareControl();
        if (!row.target)
            label.setCaption("Zyklomatrix");
        ASSERT_LT(label.linkRect().left, label.linkRect().right) << row.name;

        LinkPlatformGuard fakes;
        installFakes();
        capture = nullptr;
        shellAnswer = row.shell;
        LRESULT result;
        for (const Step& step : row.before)
            send(label, step, result);
        capture = row.captured ? label.window() : nullptr;
        calls.clear();
        EXPECT_EQ(row.handled, send(label, row.step, result)) << row.name;
        if (row.handled) {
            EXPECT_EQ(row.result, result) << row.name;
        }
        EXPECT_EQ(row.calls, calls) << row.name;
        EXPECT_EQ(row.state, label.state() & (Hovering | Visited)) << row.name;
    }
}

TEST_F(LinkInput, FontSelectorAndSelfPaintingStatic)
{
    LinkLabel label;
    TestDialog host(SS_LEFT, "Zyklomatrix");
    ASSERT_TRUE(label.attachToWindow(host.label()));
    label.prepareControl();
    LinkPlatformGuard fakes;
    installFakes();
    HWND window = label.window();
    HFONT font = static_cast<HFONT>(GetStockObject(ANSI_VAR_FONT));
    LRESULT result = 0;

    calls.clear();
    EXPECT_TRUE(label.handleMessage(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0, result, 0));
    EXPECT_EQ("", calls) << "WM_SETFONT without redraw";
    EXPECT_TRUE(label.handleMessage(window, WM_GETFONT, 0, 0, result, 0));
    EXPECT_EQ(reinterpret_cast<LRESULT>(font), result);
    EXPECT_TRUE(label.handleMessage(window, WM_SETFONT, 0, TRUE, result, 0));
    EXPECT_EQ("InvalidateAll Update ", calls) << "WM_SETFONT with redraw";
    EXPECT_TRUE(label.handleMessage(window, WM_GETFONT, 0, 0, result, 0));
    EXPECT_EQ(0, result);

    result = 0x7777;
    EXPECT_FALSE(label.handleMessage(window, WM_GETDLGCODE, 0, 0, result, 1)) << "selector 1";
    EXPECT_FALSE(label.handleMessage(window, WM_CREATE, 0, 0, result, 1)) << "selector 1";
    EXPECT_EQ(0x7777, result);

    // An icon static paints itself and ignores focus; erasing is still taken.
    LinkLabel icon;
    TestDialog iconHost(SS_ICON, "");
    ASSERT_TRUE(icon.attachToWindow(iconHost.label()));
    icon.prepareControl();
    calls.clear();
    EXPECT_FALSE(icon.handleMessage(icon.window(), WM_PAINT, 0, 0, result, 0));
    EXPECT_FALSE(icon.handleMessage(icon.window(), WM_SETFOCUS, 0, 0, result, 0));
    EXPECT_TRUE(icon.handleMessage(icon.window(), WM_ERASEBKGND, 0, 0, result, 0));
    EXPECT_EQ(1, result);
    EXPECT_EQ("", calls);
}
