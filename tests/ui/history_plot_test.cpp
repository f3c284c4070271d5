// What the history window draws and copies, without a window.
#include <gtest/gtest.h>

#include <string>

#include "measure/history/history_record.h"
#include "ui/history/history_copy.h"
#include "ui/history/history_drawing.h"
#include "ui/history/history_plot.h"

namespace {

bool isRoundStep(double step) {
    double power = 1.0;
    while (power * 10.0 <= step)
        power *= 10.0;
    return step == power || step == 2.0 * power || step == 5.0 * power;
}

TEST(HistoryPlotTest, GridlinesLieAtRoundValuesAroundEveryValue) {
    struct Case {
        double lowest, highest;
        double low, high, step; // expected
    } cases[] = {
        {2990.0, 3010.0, 2960.0, 3040.0, 20.0},
        {3000.0, 3000.0, 2960.0, 3040.0, 20.0}, // all equal: in the middle of a readable span
        {25.0, 25.0, 20.0, 30.0, 2.0},          // an 80386's clock
        {800.0, 3600.0, 0.0, 4000.0, 1000.0},
        {2400.4, 2405.9, 2370.0, 2430.0, 10.0},
        {0.0, 3000.0, 2960.0, 3040.0, 20.0},    // 0: nothing measured, not a value
        {0.0, 0.0, 0.0, 1000.0, 200.0},         // nothing at all yet
    };
    for (const Case& c : cases) {
        const HistoryScale scale = ChooseHistoryScale(c.lowest, c.highest);
        const std::string which = std::to_string(c.lowest) + " to " + std::to_string(c.highest);
        EXPECT_EQ(c.low, scale.low) << which;
        EXPECT_EQ(c.high, scale.high) << which;
        EXPECT_EQ(c.step, scale.step) << which;
    }
    // Any range: round steps, four to ten gridlines, every value inside.
    for (double lowest = 20.0; lowest < 6000.0; lowest *= 1.37) {
        for (double width = 0.0; width < 3000.0; width = width * 2.3 + 0.7) {
            const HistoryScale scale = ChooseHistoryScale(lowest, lowest + width);
            const double lines = (scale.high - scale.low) / scale.step + 1.0;
            EXPECT_TRUE(isRoundStep(scale.step)) << lowest << " +" << width << ": step " << scale.step;
            EXPECT_GE(lines, 4.0) << lowest << " +" << width;
            EXPECT_LE(lines, 10.0) << lowest << " +" << width;
            EXPECT_LE(scale.low, lowest);
            EXPECT_GE(scale.high, lowest + width);
        }
    }
    char label[16];
    FormatTimeLabel(90, label);
    EXPECT_STREQ("-90 s", label);
    FormatTimeLabel(60, label);
    EXPECT_STREQ("-60 s", label);
    FormatTimeLabel(300, label);
    EXPECT_STREQ("-5 min", label);
    // The axis reaches back to the oldest round kept, not to the window's opening: once the
    // ring has wrapped, to an hour of rounds ago, under six labels at most.
    HistoryRecord record;
    ASSERT_TRUE(record.open(1, 3601));
    EXPECT_EQ(120000u, ChooseHistoryTimeAxis(record, 5000).spanMs) << "two minutes at least";
    for (DWORD round : {1000u, 30000u}) {
        for (DWORD t = 0; t <= 7200 * round; t += round)
            record.beginRow(t);
        const HistoryTimeAxis axis = ChooseHistoryTimeAxis(record, 7200 * round);
        EXPECT_EQ(3600 * round, axis.spanMs) << round << " ms rounds";
        EXPECT_LE(axis.spanMs / 1000 / axis.stepSeconds, 6u) << round << " ms rounds";
    }
}

// After drawing lines (two processors) or a band per class (sixteen), the context holds the
// pen and brush it held before.
TEST(HistoryPlotTest, DrawingLeavesTheContextWithThePenAndBrushItHadBefore) {
    for (LONG processors : {2, 16}) {
        HistoryRecord record;
        ASSERT_TRUE(record.open(processors, 4));
        for (LONG row = 0; row < 4; ++row) {
            record.beginRow(row * 1000);
            for (LONG k = 0; k < processors; ++k)
                record.store(k, 3000.0f + 10.0f * k + row);
        }
        const BYTE classes[16] = {};
        const HistoryView view = {&record, classes, 1000, 4000, 2900.0, "TSC", 3500.0, "Rated", nullptr, nullptr, 96};
        HDC dc = CreateCompatibleDC(nullptr);
        const HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN), brush = GetCurrentObject(dc, OBJ_BRUSH);
        DrawHistory(dc, RECT{0, 0, 400, 300}, view);
        EXPECT_EQ(pen, GetCurrentObject(dc, OBJ_PEN)) << processors << " processors";
        EXPECT_EQ(brush, GetCurrentObject(dc, OBJ_BRUSH)) << processors << " processors";
        DeleteDC(dc);
    }
}

TEST(HistoryPlotTest, LinesUpToEightProcessorsThenOneBandPerEfficiencyClass) {
    EXPECT_TRUE(DrawsLines(1));
    EXPECT_TRUE(DrawsLines(8));
    EXPECT_FALSE(DrawsLines(9));
    EXPECT_FALSE(DrawsLines(2048));

    // Ten processors, the slower class 0 and the faster class 1; 0.0 is a value not measured.
    const float values[] = {2000.0f, 4000.0f, 2100.0f, 4200.0f, 0.0f, 4100.0f, 1900.0f, 4300.0f, 2050.0f, 0.0f};
    const BYTE classes[] = {0, 1, 0, 1, 1, 1, 0, 1, 0, 1};
    BYTE distinct[256];
    ASSERT_EQ(2, ListEfficiencyClasses(classes, 10, distinct));
    EXPECT_EQ(0, distinct[0]);
    EXPECT_EQ(1, distinct[1]);
    float scratch[10];
    HistorySpread spread;
    ASSERT_TRUE(SpreadOf(values, classes, 10, 0, scratch, spread));
    EXPECT_EQ(1900.0f, spread.lowest);
    EXPECT_EQ(2025.0f, spread.median) << "the mean of the middle two of four";
    EXPECT_EQ(2100.0f, spread.highest);
    ASSERT_TRUE(SpreadOf(values, classes, 10, 1, scratch, spread));
    EXPECT_EQ(4000.0f, spread.lowest);
    EXPECT_EQ(4150.0f, spread.median);
    EXPECT_EQ(4300.0f, spread.highest);
    ASSERT_TRUE(SpreadOf(values, classes, 10, -1, scratch, spread));
    EXPECT_EQ(1900.0f, spread.lowest);
    EXPECT_EQ(3050.0f, spread.median) << "the middle two of the eight measured";
    const float nothing[] = {0.0f, 0.0f};
    EXPECT_FALSE(SpreadOf(nothing, classes, 2, -1, scratch, spread));
    const BYTE oneClass[] = {0, 0, 0};
    EXPECT_EQ(1, ListEfficiencyClasses(oneClass, 3, distinct));
}

TEST(HistoryCopyTest, OneLinePerRoundOfTheLastHourPastesAsColumns) {
    HistoryRecord record;
    ASSERT_TRUE(record.open(2, 2));
    char text[256];
    EXPECT_EQ(0u, FormatHistoryCopy(record, "Some CPU", "", text, sizeof text)) << "nothing before a round";
    record.beginRow(0);
    record.store(0, 2000.0f);
    record.beginRow(1000);
    record.store(0, 3000.0f);
    record.store(1, 2999.5f);
    record.beginRow(2500); // a third row in room for two: the oldest gives way
    record.store(0, 3001.5f);
    const char expected[] =
        "Some CPU: Sekunden / Seconds\tCPU 1 MHz\tCPU 2 MHz\r\n"
        "1.0\t3000.0\t2999.5\r\n"
        "2.5\t3001.5\t\r\n";
    EXPECT_EQ(sizeof expected - 1, FormatHistoryCopy(record, "Some CPU", "", text, sizeof text));
    EXPECT_STREQ(expected, text);
    EXPECT_EQ(sizeof expected - 1, FormatHistoryCopy(record, "Some CPU", "", text, 10)) << "the length, cut short";
    EXPECT_STREQ("Some CPU", text) << "only whole parts";
    FormatHistoryCopy(record, "", "", text, sizeof text);
    EXPECT_EQ(0, std::string(text).find("Sekunden / Seconds\t")) << "no name, no prefix";
    FormatHistoryCopy(record, "Some CPU", "TSC 2900 MHz, Rated max. 3,500 MHz", text, sizeof text);
    EXPECT_EQ(0, std::string(text).find("TSC 2900 MHz, Rated max. 3,500 MHz\r\nSome CPU: Sekunden"))
        << "the clocks drawn first";
}

}  // namespace
