#include "app/place_centred.h"

#include <gtest/gtest.h>

#include <map>

#include "support/platform_guard.h"

namespace {

// A small world of windows for the centring arithmetic.
struct FakeWindow {
    LONG style;
    RECT rect;         // screen coordinates
    RECT client;       // client coordinates, origin at clientOrigin
    POINT clientOrigin;
    HWND parent;
    HWND owner;
};

std::map<HWND, FakeWindow> windows;
RECT workArea;

struct Placement {
    bool called;
    HWND insertAfter;
    int x, y, cx, cy;
    UINT flags;
} placement;

HWND handle(int n)
{
    return reinterpret_cast<HWND>(static_cast<intptr_t>(0x10 * n));
}

const FakeWindow* find(HWND window)
{
    auto found = windows.find(window);
    return found == windows.end() ? nullptr : &found->second;
}

LONG_PTR WINAPI fakeGetWindowLong(HWND window, int index)
{
    EXPECT_EQ(index, GWL_STYLE);
    const FakeWindow* w = find(window);
    return w != nullptr ? w->style : 0;
}

HWND WINAPI fakeGetParent(HWND window)
{
    const FakeWindow* w = find(window);
    return w != nullptr ? w->parent : nullptr;
}

HWND WINAPI fakeGetWindow(HWND window, UINT command)
{
    EXPECT_EQ(command, static_cast<UINT>(GW_OWNER));
    const FakeWindow* w = find(window);
    return w != nullptr ? w->owner : nullptr;
}

BOOL WINAPI fakeGetWindowRect(HWND window, RECT* rect)
{
    const FakeWindow* w = find(window);
    if (w == nullptr)
        return FALSE;
    *rect = w->rect;
    return TRUE;
}

BOOL WINAPI fakeGetClientRect(HWND window, RECT* rect)
{
    const FakeWindow* w = find(window);
    if (w == nullptr)
        return FALSE;
    *rect = w->client;
    return TRUE;
}

int WINAPI fakeMapWindowPoints(HWND from, HWND to, POINT* points, UINT count)
{
    const FakeWindow* source = find(from);
    const FakeWindow* target = find(to);
    const LONG dx = source->clientOrigin.x - target->clientOrigin.x;
    const LONG dy = source->clientOrigin.y - target->clientOrigin.y;
    for (UINT i = 0; i < count; ++i) {
        points[i].x += dx;
        points[i].y += dy;
    }
    return MAKELONG(dx, dy);
}

BOOL WINAPI fakeSystemParametersInfo(UINT action, UINT, void* value, UINT)
{
    EXPECT_EQ(action, static_cast<UINT>(SPI_GETWORKAREA));
    *static_cast<RECT*>(value) = workArea;
    return TRUE;
}

BOOL WINAPI fakeSetWindowPos(HWND, HWND insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    placement = {true, insertAfter, x, y, cx, cy, flags};
    return TRUE;
}

const LONG Visible = WS_VISIBLE | WS_CAPTION;

FakeWindow topLevel(LONG style, RECT rect, HWND owner = nullptr)
{
    return {style, rect, {0, 0, rect.right - rect.left, rect.bottom - rect.top}, {rect.left, rect.top},
            nullptr, owner};
}

struct CentringCase {
    const char* name;
    RECT window;        // the moved window's rectangle; only its size matters
    LONG ownerStyle;    // 0: no owner
    RECT ownerRect;
    RECT area;
    POINT expected;
};

class PlaceCentredTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        AppPlatform& platform = appPlatform();
        platform.GetWindowLongPtrA = fakeGetWindowLong;
        platform.GetParent = fakeGetParent;
        platform.GetWindow = fakeGetWindow;
        platform.GetWindowRect = fakeGetWindowRect;
        platform.GetClientRect = fakeGetClientRect;
        platform.MapWindowPoints = fakeMapWindowPoints;
        platform.SystemParametersInfoA = fakeSystemParametersInfo;
        platform.SetWindowPos = fakeSetWindowPos;
        windows.clear();
        placement = Placement();
    }

    AppPlatformGuard guard;
};

TEST_F(PlaceCentredTest, TopLevelWindowOnItsOwnerOrTheWorkArea)
{
    const RECT area = {0, 0, 1000, 800};
    const CentringCase cases[] = {
        {"odd widths truncate at both divisions", {0, 0, 51, 31}, Visible, {0, 0, 101, 61},
         {-500, -500, 1000, 800}, {50 - 25, 30 - 15}},
        {"a negative midpoint truncates toward zero", {0, 0, 51, 31}, Visible, {-101, -61, 0, 0},
         {-500, -500, 1000, 800}, {-50 - 25, -30 - 15}},
        {"owner centre 100 from the left edge clamps to the edge", {0, 0, 400, 100}, Visible,
         {0, 300, 200, 500}, area, {0, 350}},
        {"clamped at the right and bottom edges", {0, 0, 400, 300}, Visible, {900, 700, 1000, 800},
         area, {600, 500}},
        {"a window wider than the area keeps the left edge", {0, 0, 1200, 100}, Visible,
         {400, 300, 600, 500}, area, {0, 350}},
        {"a hidden owner means the work area", {0, 0, 200, 100}, WS_CAPTION, {0, 0, 50, 50}, area,
         {400, 350}},
        {"a minimised owner means the work area", {0, 0, 200, 100}, Visible | WS_MINIMIZE,
         {0, 0, 50, 50}, area, {400, 350}},
        {"no owner means the work area", {0, 0, 200, 100}, 0, {}, {100, 50, 1100, 850},
         {500, 400}},
    };
    for (const CentringCase& c : cases) {
        windows.clear();
        placement = Placement();
        workArea = c.area;
        HWND owner = nullptr;
        if (c.ownerStyle != 0) {
            owner = handle(2);
            windows[owner] = topLevel(c.ownerStyle, c.ownerRect);
        }
        windows[handle(1)] = topLevel(Visible, c.window, owner);

        EXPECT_EQ(placeCentred(handle(1), nullptr), TRUE) << c.name;
        ASSERT_TRUE(placement.called) << c.name;
        EXPECT_EQ(placement.x, c.expected.x) << c.name;
        EXPECT_EQ(placement.y, c.expected.y) << c.name;
        EXPECT_EQ(placement.insertAfter, nullptr) << c.name;
        EXPECT_EQ(placement.cx, -1) << c.name;
        EXPECT_EQ(placement.cy, -1) << c.name;
        EXPECT_EQ(placement.flags, 0x15u) << c.name;
    }
}

TEST_F(PlaceCentredTest, ExplicitCentreOverridesTheOwner)
{
    workArea = {0, 0, 1000, 800};
    windows[handle(2)] = topLevel(Visible, {0, 0, 100, 100});
    windows[handle(3)] = topLevel(Visible, {500, 400, 700, 600});
    windows[handle(1)] = topLevel(Visible, {0, 0, 100, 50}, handle(2));
    placeCentred(handle(1), handle(3));
    EXPECT_EQ(placement.x, 550);
    EXPECT_EQ(placement.y, 475);
}

TEST_F(PlaceCentredTest, ChildWindowCentresInItsParentsClientArea)
{
    workArea = {0, 0, 10, 10};  // must not matter for a child
    // The parent's client area is 600 x 400, at (100, 100) on the screen.
    windows[handle(2)] = {Visible, {90, 80, 710, 510}, {0, 0, 600, 400}, {100, 100}, nullptr, nullptr};
    // A sibling whose client area starts at (300, 200) in the parent.
    windows[handle(3)] = {Visible | WS_CHILD, {400, 300, 500, 350}, {0, 0, 100, 50}, {400, 300},
                          handle(2), nullptr};
    windows[handle(1)] = {Visible | WS_CHILD, {0, 0, 80, 40}, {0, 0, 80, 40}, {0, 0}, handle(2), nullptr};

    placeCentred(handle(1), nullptr);
    EXPECT_EQ(placement.x, 300 - 40) << "centred on the parent";
    EXPECT_EQ(placement.y, 200 - 20) << "centred on the parent";

    placeCentred(handle(1), handle(3));
    EXPECT_EQ(placement.x, 350 - 40) << "centred on the sibling";
    EXPECT_EQ(placement.y, 225 - 20) << "centred on the sibling";

    // A sibling near the parent's right edge: clamped to the client area.
    windows[handle(3)].clientOrigin = {680, 300};
    placeCentred(handle(1), handle(3));
    EXPECT_EQ(placement.x, 600 - 80) << "clamped to the parent";
}

}  // namespace
