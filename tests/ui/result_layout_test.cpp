#include "ui/result_layout.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string.h>

#include <string>

namespace {

// A screen at one resolution, and the main dialog as it opens there: the
// template's dialog units times the dialog font's base units, with the core
// clocks' row added as the dialog adds it, one row below the time-stamp
// rates' row in pixels.
struct Screen {
    const char* name;
    int baseX, baseY;  // pixels per 4 horizontal and 8 vertical dialog units
    int workAreaHeight, frameHeight, scrollBarWidth;
};

RECT units(const Screen& s, int x, int y, int cx, int cy) {
    RECT r = {MulDiv(x, s.baseX, 4), MulDiv(y, s.baseY, 8), MulDiv(x + cx, s.baseX, 4),
              MulDiv(y + cy, s.baseY, 8)};
    return r;
}

RECT movedDown(RECT r, int by) {
    OffsetRect(&r, 0, by);
    return r;
}

ResultAreaParts templateParts(const Screen& s) {
    ResultAreaParts parts;
    parts.field = units(s, 13, 56, 197, 17);
    parts.unitLabel = units(s, 13, 77, 197, 8);
    const int row = parts.unitLabel.bottom + (parts.unitLabel.top - parts.field.bottom) - parts.field.top;
    parts.coreField = movedDown(parts.field, row);
    parts.coreLabel = movedDown(parts.unitLabel, row);
    parts.groupBox = units(s, 7, 6, 213, 84);
    parts.groupBox.bottom += row;
    parts.siteLink = movedDown(units(s, 7, 95, 213, 8), row);
    parts.clientHeight = MulDiv(110, s.baseY, 8) + row;
    return parts;
}

ResultScreen screenOf(const Screen& s) {
    return ResultScreen{s.baseY, s.baseX, s.workAreaHeight, s.frameHeight, s.scrollBarWidth};
}

bool inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

std::string text(const RECT& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" +
           std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

// 96 DPI on a 1920 x 1080 screen, and 144 DPI on the same screen, where far
// fewer lines fit.
const Screen Screens[] = {
    {"96 DPI", 6, 13, 1040, 25, 17},
    {"144 DPI", 9, 20, 1032, 37, 25},
};
const LONG Counts[] = {1, 4, 5, 8, 16, 64, 65, 128, 256, 2048};

int height(const RECT& r) {
    return r.bottom - r.top;
}

TEST(ResultLayout, EveryValueInTheFieldsTheFieldsInTheDialogTheDialogInTheWorkArea) {
    for (const Screen& s : Screens) {
        const ResultAreaParts original = templateParts(s);
        const RECT client = {0, 0, MulDiv(227, s.baseX, 4), original.clientHeight};
        for (LONG values : Counts) {
            const std::string where = std::string(s.name) + ", " + std::to_string(values) + " values";
            SCOPED_TRACE(where);
            const ResultLayout layout = LayOutResults(values, original, screenOf(s));
            const ResultAreaParts& parts = layout.parts;
            const LONG lines = (values + 3) / 4;
            ASSERT_EQ(lines, layout.lines);
            ASSERT_GE(layout.visibleLines, 1);
            EXPECT_EQ(layout.scrolls, layout.visibleLines < lines);

            RECT dialog = client;
            dialog.bottom = parts.clientHeight;
            EXPECT_LE(parts.clientHeight + s.frameHeight, s.workAreaHeight) << "the dialog fits";
            EXPECT_TRUE(inside(parts.field, parts.groupBox)) << text(parts.field);
            EXPECT_TRUE(inside(parts.coreField, parts.groupBox)) << text(parts.coreField);
            EXPECT_TRUE(inside(parts.coreLabel, parts.groupBox)) << text(parts.coreLabel);
            EXPECT_TRUE(inside(parts.groupBox, dialog)) << text(parts.groupBox);
            EXPECT_TRUE(inside(parts.siteLink, dialog)) << text(parts.siteLink);
            // Top to bottom, nothing overlapping: field, unit label, core
            // clocks, their label, the group box's end, the site link.
            EXPECT_GE(parts.unitLabel.top, parts.field.bottom);
            EXPECT_GE(parts.coreField.top, parts.unitLabel.bottom);
            EXPECT_GE(parts.coreLabel.top, parts.coreField.bottom);
            EXPECT_GE(parts.groupBox.bottom, parts.coreLabel.bottom);
            EXPECT_GE(parts.siteLink.top, parts.groupBox.bottom);
            // Both fields show the same lines in the same columns; what lies
            // below each moves by as much as the fields above it grow.
            const int growth = height(parts.field) - height(original.field);
            EXPECT_EQ(height(parts.field), height(parts.coreField));
            EXPECT_EQ(parts.field.left, parts.coreField.left);
            EXPECT_EQ(parts.field.right, parts.coreField.right);
            EXPECT_EQ(growth, parts.unitLabel.top - original.unitLabel.top);
            EXPECT_EQ(growth, parts.coreField.top - original.coreField.top);
            EXPECT_EQ(2 * growth, parts.coreLabel.top - original.coreLabel.top);
            EXPECT_EQ(2 * growth, parts.siteLink.top - original.siteLink.top);

            // Every value of every shown line, at the top and scrolled to the
            // end, lies in the field's text area and has room for a
            // five-digit frequency with four decimals: ten characters.
            const RECT textArea = {0, 0,
                                   parts.field.right - parts.field.left -
                                       (layout.scrolls ? s.scrollBarWidth : 0),
                                   parts.field.bottom - parts.field.top};
            for (int top : {0, LastTopLine(layout)}) {
                for (int line = top; line < top + layout.visibleLines; ++line) {
                    for (int column = 0; column < 4 && line * 4 + column < values; ++column) {
                        const RECT cell = ResultCell(layout, line, column, top);
                        ASSERT_TRUE(inside(cell, textArea))
                            << "line " << line << " column " << column << " from " << top << ": "
                            << text(cell) << " outside " << text(textArea);
                        ASSERT_GE(cell.right - cell.left, 10 * s.baseX) << text(cell);
                    }
                }
            }
            if (values <= 4) {
                EXPECT_EQ(0, memcmp(&original, &parts, sizeof parts)) << "as the template made it";
                EXPECT_FALSE(layout.scrolls);
            }
        }
    }
}

// The fields scroll only when one more line in each would take the dialog
// past the work area; 31 lines fit at 96 DPI, 16 at 144.
TEST(ResultLayout, ScrollsOnlyPastWhatTheWorkAreaHolds) {
    struct Case { const Screen& screen; LONG values; bool scrolls; };
    const Case cases[] = {{Screens[0], 124, false}, {Screens[0], 125, true}, {Screens[0], 2048, true},
                          {Screens[1], 64, false}, {Screens[1], 65, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.screen.name) + ", " + std::to_string(c.values) + " values");
        const ResultLayout layout = LayOutResults(c.values, templateParts(c.screen), screenOf(c.screen));
        ASSERT_EQ(c.scrolls, layout.scrolls);
        if (layout.scrolls) {
            EXPECT_GT(layout.parts.clientHeight + c.screen.frameHeight + 2 * layout.lineHeight,
                      c.screen.workAreaHeight) << "no room for one more line in each field";
        }
    }
}

}  // namespace
