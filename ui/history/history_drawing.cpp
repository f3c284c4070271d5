#include "ui/history/history_drawing.h"

#include <stdio.h>

#include <new>

#include "link/gdi_scopes.h"
#include "measure/history/history_schedule.h"
#include "ui/class_marks.h"
#include "ui/history/history_plot.h"

namespace {

// Colours that stay apart, one per processor up to eight, and per efficiency class.
const COLORREF LineColours[HistoryLineLimit] = {
    RGB(0, 90, 200),  RGB(220, 60, 20),  RGB(0, 150, 60),  RGB(140, 60, 180),
    RGB(200, 140, 0), RGB(0, 160, 170), RGB(210, 40, 140), RGB(70, 70, 70),
};
const COLORREF GridColour = RGB(220, 220, 220);
const COLORREF FrameColour = RGB(128, 128, 128);
const COLORREF ReferenceColour = RGB(60, 60, 60);

// The colour of a band: its line's colour, mixed four parts in five with white.
COLORREF Lighter(COLORREF colour) {
    return RGB((GetRValue(colour) + 4 * 255) / 5, (GetGValue(colour) + 4 * 255) / 5,
               (GetBValue(colour) + 4 * 255) / 5);
}

// Where a time and a value lie on the plot. The routines called from many places are kept out
// of line: the program must stay small.
struct Plot {
    RECT area;
    HistoryScale scale;
    HistoryTimeAxis axis;
    DWORD elapsedMs;

    __attribute__((noinline)) int x(double timeMs) const {
        const double ago = elapsedMs - timeMs;
        return area.right - static_cast<int>(ago * (area.right - area.left) / axis.spanMs + 0.5);
    }
    __attribute__((noinline)) int y(double mhz) const {
        return area.bottom
               - static_cast<int>((mhz - scale.low) * (area.bottom - area.top) / (scale.high - scale.low) + 0.5);
    }
};

// Text with its left, right or centre (flags DT_LEFT, DT_RIGHT, DT_CENTER) at x and its top at
// y; returns its width.
__attribute__((noinline)) int TextAt(HDC dc, int x, int y, const char* text, UINT flags) {
    RECT box = {x, y, x, y};
    DrawTextA(dc, text, -1, &box, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    const int width = box.right - box.left;
    box.left = flags == DT_RIGHT ? x - width : flags == DT_CENTER ? x - width / 2 : x;
    box.right = box.left + width;
    DrawTextA(dc, text, -1, &box, DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    return width;
}

__attribute__((noinline)) void Line(HDC dc, int x1, int y1, int x2, int y2);

// A clock the values are held against: a dashed line across the plot, labelled above its left
// or right end (alignment DT_LEFT or DT_RIGHT), or under it at the top. Nothing where unknown.
void DrawClockLine(HDC dc, const Plot& plot, double mhz, const char* label, UINT alignment, int pad,
                   int lineWidth, int textHeight) {
    if (mhz <= 0.0)
        return;
    OwnedGdiObject pen(CreatePen(PS_SOLID, lineWidth / 2 + 1, ReferenceColour));
    SelectedObject selected(dc, pen);
    const int at = plot.y(mhz);
    for (int dash = plot.area.left; dash < plot.area.right; dash += 2 * pad)
        Line(dc, dash, at, dash + pad < plot.area.right ? dash + pad : plot.area.right, at);
    const int above = at - textHeight - lineWidth;
    TextAt(dc, alignment == DT_LEFT ? plot.area.left + pad / 2 : plot.area.right - pad / 2,
           above > plot.area.top ? above : at + lineWidth, label, alignment);
}

__attribute__((noinline)) void Line(HDC dc, int x1, int y1, int x2, int y2) {
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

// The gridlines at round values and every labelled step of time back from now, with labels
// at least a line and a half apart.
__attribute__((noinline)) void DrawGrid(HDC dc, const Plot& plot, int textHeight, int gap) {
    OwnedGdiObject pen(CreatePen(PS_SOLID, 1, GridColour));
    SelectedObject selected(dc, pen);
    char label[32];
    const int lines = static_cast<int>((plot.scale.high - plot.scale.low) / plot.scale.step + 0.5);
    const int spacing = (plot.area.bottom - plot.area.top) / lines;
    const int every = spacing > 0 ? (textHeight * 3 / 2 + spacing - 1) / spacing : lines;
    for (int k = 0; k <= lines; ++k) {
        const double mhz = plot.scale.low + k * plot.scale.step;
        const int y = plot.y(mhz);
        Line(dc, plot.area.left, y, plot.area.right, y);
        if (k % every == 0) {
            FormatMhzLabel(mhz, label);
            TextAt(dc, plot.area.left - gap, y - textHeight / 2, label, DT_RIGHT);
        }
    }
    for (DWORD ago = plot.axis.stepSeconds; ago * 1000 < plot.axis.spanMs; ago += plot.axis.stepSeconds) {
        const int x = plot.x(static_cast<double>(plot.elapsedMs) - ago * 1000.0);
        Line(dc, x, plot.area.top, x, plot.area.bottom);
        FormatTimeLabel(ago, label);
        TextAt(dc, x, plot.area.bottom + gap / 2, label, DT_CENTER);
    }
}

// One series, broken where rounds are missing: for a processor its line, for an efficiency
// class the band from its lowest to its highest value and its median as a line. points holds
// four times the rows and one more, scratch the processors.
struct Series {
    LONG first;      // the processors taken: first to first + count − 1
    LONG count;
    int classWanted; // of those, the ones of this class; −1 for all
    bool band;
};

__attribute__((noinline)) void DrawSeries(HDC dc, const Plot& plot, const HistoryView& view,
                                          const Series& series, COLORREF colour, int lineWidth, POINT* points,
                                          float* scratch) {
    const HistoryRecord& record = *view.record;
    const LONG rows = record.rows();
    // The outline takes the upper edge left to right, then the lower edge right to left.
    POINT* outline = points;
    POINT* lower = points + 2 * rows;
    POINT* medians = points + 3 * rows;
    OwnedGdiObject fill(CreateSolidBrush(Lighter(colour)));
    OwnedGdiObject edge(CreatePen(PS_SOLID, 1, Lighter(colour)));
    OwnedGdiObject line(CreatePen(PS_SOLID, lineWidth, colour));
    LONG first = 0;
    while (first < rows) {
        // A stretch of joined rounds in which the series has values.
        LONG run = 0;
        HistorySpread spread;
        for (LONG row = first; row < rows; ++row) {
            if (row > first && !RoundsJoin(record.rowTime(row) - record.rowTime(row - 1), view.periodMs))
                break;
            if (!SpreadOf(record.rowValues(row) + series.first, view.classes + series.first, series.count,
                          series.classWanted, scratch, spread))
                break;
            const int x = plot.x(record.rowTime(row));
            outline[run].x = lower[run].x = medians[run].x = x;
            outline[run].y = plot.y(spread.highest);
            lower[run].y = plot.y(spread.lowest);
            medians[run].y = plot.y(spread.median);
            ++run;
        }
        if (run == 0) {
            ++first;
            continue;
        }
        if (series.band) {
            for (LONG k = 0; k < run; ++k)
                outline[run + k] = lower[run - 1 - k];
            // One scope per object, so that each is put back as it was.
            SelectedObject brush(dc, fill);
            SelectedObject pen(dc, edge);
            Polygon(dc, outline, 2 * run);
        }
        SelectedObject selected(dc, line);
        // A lone round shows as a short dash.
        LONG drawn = run;
        if (run == 1) {
            medians[1] = medians[0];
            medians[1].x += lineWidth + 1;
            drawn = 2;
        }
        Polyline(dc, medians, drawn);
        first += run;
    }
}

// The legend: a processor number per line, or what a band shows, per efficiency class.
__attribute__((noinline)) void DrawLegend(HDC dc, int x, int y, int textHeight, int pad, int lineWidth,
                                          LONG processors, const BYTE* classes, LONG classCount) {
    const bool lines = DrawsLines(processors);
    const LONG series = lines ? processors : classCount;
    char text[64];
    for (LONG k = 0; k < series; ++k) {
        if (lines)
            sprintf(text, "CPU %ld", static_cast<long>(k + 1));
        else if (classCount > 1) {
            char mark[ClassMarkSize];
            FormatClassMark(classes[k], classCount, mark);
            sprintf(text, "%s: min-max, Median", mark);
        }
        else
            sprintf(text, "%ld CPUs: min-max, Median", static_cast<long>(processors));
        const COLORREF colour = LineColours[k % HistoryLineLimit];
        if (!lines) {
            OwnedGdiObject fill(CreateSolidBrush(Lighter(colour)));
            RECT box = {x, y + textHeight / 4, x + textHeight, y + textHeight * 3 / 4};
            FillRect(dc, &box, static_cast<HBRUSH>(static_cast<HGDIOBJ>(fill)));
        }
        OwnedGdiObject pen(CreatePen(PS_SOLID, lineWidth, colour));
        SelectedObject selected(dc, pen);
        Line(dc, x, y + textHeight / 2, x + textHeight, y + textHeight / 2);
        x += textHeight + pad / 2;
        x += TextAt(dc, x, y, text, DT_LEFT) + 2 * pad;
    }
}

}  // namespace

void DrawHistory(HDC dc, const RECT& area, const HistoryView& view) {
    FillRect(dc, &area, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    SelectedObject font(dc, view.font);
    SetBkMode(dc, TRANSPARENT);
    RECT measure = {0, 0, 0, 0};
    DrawTextA(dc, "0", 1, &measure, DT_CALCRECT | DT_SINGLELINE);
    const int textHeight = measure.bottom;
    // Gaps and lines as wide as the screen's DPI makes them.
    const int pad = 8 * view.dpi / 96;
    const int lineWidth = 1 + view.dpi / 96;

    if (view.emulatedOn != nullptr) {
        char text[160];
        sprintf(text,
                "Unter Emulation (x86 auf %.16s) ist der Kerntakt nicht messbar.\r\n"
                "The core clock cannot be measured under emulation (x86 on %.16s).",
                view.emulatedOn, view.emulatedOn);
        RECT box = {area.left + pad, area.top + pad, area.right - pad, area.bottom - pad};
        DrawTextA(dc, text, -1, &box, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
        return;
    }

    const HistoryRecord& record = *view.record;
    const LONG processors = record.processors();
    const LONG rows = record.rows();
    float* scratch = new (std::nothrow) float[processors + 1];
    POINT* points = new (std::nothrow) POINT[4 * rows + 1];
    if (scratch == nullptr || points == nullptr) {
        delete[] scratch;
        delete[] points;
        return;
    }

    // The status line: the latest round's lowest, median and highest value.
    char text[128] = "Messe ... / Measuring ...";
    HistorySpread spread;
    for (LONG row = rows - 1; row >= 0; --row) {
        if (SpreadOf(record.rowValues(row), view.classes, processors, -1, scratch, spread)) {
            FormatLatestLine(spread, text);
            break;
        }
    }
    int y = area.top + pad;
    TextAt(dc, area.left + pad, y, text, DT_LEFT);

    BYTE classes[256];
    const LONG classCount = processors > 0 ? ListEfficiencyClasses(view.classes, processors, classes) : 0;
    const bool lines = DrawsLines(processors);
    const LONG series = lines ? processors : classCount;
    y += textHeight + pad / 2;
    DrawLegend(dc, area.left + pad, y, textHeight, pad, lineWidth, processors, classes, classCount);

    // The scale: every value on the plot, the reference line and the rated clock's.
    double lowest = 0.0;
    double highest = 0.0;
    auto widen = [&](double mhz) {
        if (mhz <= 0.0)
            return;
        if (lowest <= 0.0 || mhz < lowest)
            lowest = mhz;
        if (mhz > highest)
            highest = mhz;
    };
    widen(view.referenceMhz);
    widen(view.ratedMhz);
    for (LONG row = 0; row < rows; ++row) {
        for (LONG k = 0; k < processors; ++k)
            widen(record.rowValues(row)[k]);
    }
    Plot plot;
    plot.scale = ChooseHistoryScale(lowest, highest);
    plot.axis = ChooseHistoryTimeAxis(record, view.elapsedMs);
    plot.elapsedMs = view.elapsedMs;
    FormatMhzLabel(plot.scale.high, text);
    measure.right = 0;
    DrawTextA(dc, text, -1, &measure, DT_CALCRECT | DT_SINGLELINE);
    plot.area.left = area.left + pad + measure.right + pad / 2;
    plot.area.top = y + textHeight + pad;
    plot.area.right = area.right - pad;
    plot.area.bottom = area.bottom - pad - textHeight;
    if (plot.area.right - plot.area.left > pad && plot.area.bottom - plot.area.top > pad) {
        DrawGrid(dc, plot, textHeight, pad / 2);
        for (LONG k = 0; k < series; ++k) {
            const Series one = {lines ? k : 0, lines ? 1 : processors, lines || classCount == 1 ? -1 : classes[k],
                                !lines};
            DrawSeries(dc, plot, view, one, LineColours[k % HistoryLineLimit], lineWidth, points, scratch);
        }
        // The time-stamp counter's rate labelled at the left, the rated clock at the right, so
        // that the labels stay apart where the two lie close.
        DrawClockLine(dc, plot, view.referenceMhz, view.referenceLabel, DT_LEFT, pad, lineWidth, textHeight);
        DrawClockLine(dc, plot, view.ratedMhz, view.ratedLabel, DT_RIGHT, pad, lineWidth, textHeight);
        OwnedGdiObject pen(CreatePen(PS_SOLID, 1, FrameColour));
        SelectedObject selected(dc, pen);
        const POINT frame[5] = {{plot.area.left, plot.area.top},
                                {plot.area.right, plot.area.top},
                                {plot.area.right, plot.area.bottom},
                                {plot.area.left, plot.area.bottom},
                                {plot.area.left, plot.area.top}};
        Polyline(dc, frame, 5);
    }
    delete[] scratch;
    delete[] points;
}
