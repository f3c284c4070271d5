#include <gtest/gtest.h>

#include "link/hand_cursor.h"

#include <string.h>

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

namespace {

Pixel pixelOf(const HandCursorPicture& picture, int x, int y)
{
    if (x < 0 || y < 0 || x >= picture.width || y >= picture.height)
        return Screen;
    const int rowBytes = (picture.width + 15) / 16 * 2;
    const BYTE bit = static_cast<BYTE>(0x80 >> (x % 8));
    const bool andBit = picture.andPlane[y * rowBytes + x / 8] & bit;
    const bool xorBit = picture.xorPlane[y * rowBytes + x / 8] & bit;
    if (andBit)
        return xorBit ? Inverted : Screen;
    return xorBit ? White : Black;
}

}  // namespace

// At the cursor sizes of 96, 120, 144 and 192 DPI (and one beyond the largest) every pixel
// is the one of the picture that it covers, and the hot spot is the fingertip's left pixel.
TEST(HandCursor, DrawnAtTheSystemsCursorSizeTheHandKeepsItsShapeAndHotSpot)
{
    struct Case {
        int width, height;
        int drawnWidth, hotSpotX;
    };
    const Case cases[] = {
        {32, 32, 32, 5}, {40, 40, 40, 7}, {48, 48, 48, 8}, {64, 64, 64, 10}, {64, 48, 64, 10},
        {300, 300, HandCursorLargest, 40},
    };
    static HandCursorPicture picture;
    for (const Case& c : cases) {
        drawHandCursor(c.width, c.height, picture);
        const int height = c.height > HandCursorLargest ? HandCursorLargest : c.height;
        ASSERT_EQ(c.drawnWidth, picture.width) << c.width << " x " << c.height;
        ASSERT_EQ(height, picture.height) << c.width << " x " << c.height;
        EXPECT_EQ(c.hotSpotX, picture.hotSpotX) << c.width << " x " << c.height;
        EXPECT_EQ(0, picture.hotSpotY) << c.width << " x " << c.height;
        int differing = 0;
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x)
                if (pixelOf(picture, x, y) != pixelAt(x * HandCursorSize / picture.width,
                                                      y * HandCursorSize / picture.height))
                    ++differing;
        EXPECT_EQ(0, differing) << c.width << " x " << c.height;
        EXPECT_EQ(Black, pixelOf(picture, picture.hotSpotX, 0)) << c.width << " x " << c.height;
        EXPECT_EQ(Screen, pixelOf(picture, picture.hotSpotX - 1, 0)) << c.width << " x " << c.height;
    }
    drawHandCursor(32, 32, picture);
    EXPECT_EQ(0, memcmp(HandCursorAndPlane, picture.andPlane, sizeof HandCursorAndPlane))
        << "at 32 x 32 the picture itself";
    EXPECT_EQ(0, memcmp(HandCursorXorPlane, picture.xorPlane, sizeof HandCursorXorPlane))
        << "at 32 x 32 the picture itself";
}

TEST(HandCursor, PlatformMakesACursorOfTheSystemsSizeWithTheHotSpot)
{
    static HandCursorPicture picture;
    drawHandCursor(GetSystemMetrics(SM_CXCURSOR), GetSystemMetrics(SM_CYCURSOR), picture);
    HCURSOR cursor = createHandCursor(GetModuleHandleA(nullptr));
    ASSERT_NE(nullptr, cursor);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(cursor, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(static_cast<DWORD>(picture.hotSpotX), info.xHotspot);
    EXPECT_EQ(0u, info.yHotspot);
    BITMAP mask = {};
    ASSERT_NE(0, GetObjectA(info.hbmMask, sizeof mask, &mask));
    EXPECT_EQ(GetSystemMetrics(SM_CXCURSOR), mask.bmWidth);
    EXPECT_EQ(2 * GetSystemMetrics(SM_CYCURSOR), mask.bmHeight) << "the AND plane above the XOR plane";
    if (info.hbmMask)
        DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    EXPECT_TRUE(DestroyCursor(cursor));
}
