#include <gtest/gtest.h>

#include "link/hand_cursor.h"

namespace {

enum Pixel { Black, White, Screen, Inverted };

Pixel pixelAt(int x, int y)
{
    if (x < 0 || y < 0 || x >= HandCursorSize || y >= HandCursorSize)
        return Screen;
    const BYTE bit = static_cast<BYTE>(0x80 >> (x % 8));
    const bool andBit = HandCursorAndPlane[y * 4 + x / 8] & bit;
    const bool xorBit = HandCursorXorPlane[y * 4 + x / 8] & bit;
    if (andBit)
        return xorBit ? Inverted : Screen;
    return xorBit ? White : Black;
}

}  // namespace

TEST(HandCursor, IsAWhiteHandInABlackOutlineWithItsFingertipAtTheHotSpot)
{
    for (int y = 0; y < HandCursorSize; ++y) {
        for (int x = 0; x < HandCursorSize; ++x) {
            const Pixel pixel = pixelAt(x, y);
            EXPECT_NE(Inverted, pixel) << "pixel " << x << "," << y;
            if (pixel != Screen) {
                EXPECT_TRUE(x <= 16 && y <= 21) << "pixel " << x << "," << y << " outside the hand";
            }
            // Every white pixel is enclosed: none touches the screen.
            if (pixel == White) {
                const int dx[] = {1, -1, 0, 0}, dy[] = {0, 0, 1, -1};
                for (int i = 0; i < 4; ++i)
                    EXPECT_NE(Screen, pixelAt(x + dx[i], y + dy[i]))
                        << "white pixel " << x << "," << y << " without an outline";
            }
        }
    }
    for (int x = 0; x < HandCursorSize; ++x)
        EXPECT_EQ(x == 5 || x == 6 ? Black : Screen, pixelAt(x, 0)) << "fingertip row, column " << x;
    EXPECT_NE(Screen, pixelAt(HandCursorHotSpotX, HandCursorHotSpotY));
    EXPECT_EQ(Screen, pixelAt(HandCursorHotSpotX - 1, HandCursorHotSpotY));
}

TEST(HandCursor, PlatformMakesACursorWithTheHotSpot)
{
    HCURSOR cursor = createHandCursor(GetModuleHandleA(nullptr));
    ASSERT_NE(nullptr, cursor);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(cursor, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(5u, info.xHotspot);
    EXPECT_EQ(0u, info.yHotspot);
    if (info.hbmMask)
        DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    EXPECT_TRUE(DestroyCursor(cursor));
}
