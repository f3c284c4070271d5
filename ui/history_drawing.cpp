#include "ui/history_drawing.h"

#include <stdio.h>

#include <new>

#include "link/gdi_scopes.h"
#include "measure/history_schedule.h"
#include "ui/history_plot.h"

namespace {

// Colours that stay apart, also for the colour-blind where it can be helped, one per
// processor up to eight, and per efficiency class.
const COLORREF LineColours[HistoryLineLimit] = {
    RGB(0, 90, 200),  RGB(220, 60, 20),  RGB(0, 150, 60),  RGB(140, 60, 180),
    RGB(200, 140, 0), RGB(0, 160, 170), RGB(210, 40, 140), RGB(70, 70, 70),
};
const COLORREF GridColour = RGB(220, 220, 220);
const COLORREF FrameColour = RGB(128, 128, 128);
const COLORREF ReferenceColour = RGB(60, 60, 60);
const COLORREF TextColour = RGB(0, 0, 0);

// The colour of a band: its line's colour, mixed four parts in five with white.
COLORREF Lighter(COLORREF colour)
{
    return RGB((GetRValue(colour) + 4 * 255) / 5, (GetGValue(colour) + 4 * 255) / 5,
               (GetBValue(colour) + 4 * 255) / 5);
}

// Lengths given at 96 DPI, at the screen's.
int Scaled(int length, int dpi)
{
    return MulDiv(length, dpi, 96);
}

struct Plot {
    RECT area;
    HistoryScale scale;
    HistoryTimeAxis axis;
    DWORD elapsedMs;

    int x(DWORD timeMs) const
    {
        const double ago = static_cast<double>(elapsedMs) - static_cast<double>(timeMs);
        return area.right - static_cast<int>(ago * (area.right - area.left) / axis.spanMs + 0.5);
    }
    int y(double mhz) const
    {
        return area.bottom
               - static_cast<int>((mhz - scale.low) * (area.bottom - area.top) / (scale.high - scale.low) + 0.5);
    }
};

void TextAt(HDC dc, int x, int y, const char* text, UINT align)
{
    SetTextAlign(dc, align);
    TextOutA(dc, x, y, text, lstrlenA(text));
}

int TextWidth(HDC dc, const char* text)
{
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
    return size.cx;
}

void Line(HDC dc, int x1, int y1, int x2, int y2)
{
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

void DrawGrid(HDC dc, const Plot& plot, int textHeight, int dpi)
{
    OwnedGdiObject pen(CreatePen(PS_SOLID, 1, GridColour));
    SelectedObject selected(dc, pen);
    char label[32];
    // Labels at least a line and a half apart; the lines between stay unlabelled.
    const int lines = static_cast<int>((plot.scale.high - plot.scale.low) / plot.scale.step + 0.5);
    const int spacing = lines > 0 ? (plot.area.bottom - plot.area.top) / lines : 0;
    const int every = spacing > 0 ? (textHeight * 3 / 2 + spacing - 1) / spacing : 1;
    for (int k = 0; k <= lines; ++k) {
        const double mhz = plot.scale.low + k * plot.scale.step;
        const int y = plot.y(mhz);
        Line(dc, plot.area.left, y, plot.area.right, y);
        if (k % every == 0) {
            FormatMhzLabel(mhz, label);
            TextAt(dc, plot.area.left - Scaled(4, dpi), y - textHeight / 2, label, TA_RIGHT | TA_TOP);
        }
    }
    for (DWORD ago = plot.axis.stepSeconds; ago * 1000 < plot.axis.spanMs; ago += plot.axis.stepSeconds) {
        const int x = plot.area.right - static_cast<int>(static_cast<double>(ago) * 1000.0
                                                          * (plot.area.right - plot.area.left) / plot.axis.spanMs);
        Line(dc, x, plot.area.top, x, plot.area.bottom);
        FormatTimeLabel(ago, label);
        TextAt(dc, x, plot.area.bottom + Scaled(2, dpi), label, TA_CENTER | TA_TOP);
    }
}

// The base clock: a dashed line, its dashes as long as the screen's DPI makes them, labelled
// at its left end.
void DrawReference(HDC dc, const Plot& plot, double mhz, int textHeight, int dpi)
{
    if (mhz <= 0.0)
        return;
    OwnedGdiObject pen(CreatePen(PS_SOLID, Scaled(1, dpi), ReferenceColour));
    SelectedObject selected(dc, pen);
    const int y = plot.y(mhz);
    const int dash = Scaled(6, dpi);
    for (int x = plot.area.left; x < plot.area.right; x += dash + dash / 2)
        Line(dc, x, y, x + dash < plot.area.right ? x + dash : plot.area.right, y);
    char label[96];
    sprintf(label, "Basistakt / Base clock (TSC) %.0f MHz", mhz);
    const int above = y - textHeight - Scaled(1, dpi);
    TextAt(dc, plot.area.left + Scaled(4, dpi), above > plot.area.top ? above : y + Scaled(2, dpi), label,
           TA_LEFT | TA_TOP);
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

__attribute__((noinline)) void DrawSeries(HDC dc, const Plot& plot, const HistoryView& view, const Series& series,
                                          COLORREF colour, int lineWidth, POINT* points, float* scratch)
{
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
            SelectedObject selected(dc, fill);
            selected.select(edge);
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

void DrawLegend(HDC dc, int x, int y, int textHeight, int lineWidth, const HistoryView& view, const BYTE* classes,
                LONG classCount)
{
    const LONG processors = view.record->processors();
    const int swatch = textHeight;
    const int gap = textHeight / 2;
    char label[64];
    const LONG entries = DrawsLines(processors) ? processors : classCount;
    for (LONG k = 0; k < entries; ++k) {
        const COLORREF colour = LineColours[k % HistoryLineLimit];
        if (DrawsLines(processors)) {
            sprintf(label, "CPU %ld", static_cast<long>(k + 1));
            OwnedGdiObject pen(CreatePen(PS_SOLID, lineWidth, colour));
            SelectedObject selected(dc, pen);
            Line(dc, x, y + textHeight / 2, x + swatch, y + textHeight / 2);
        } else {
            if (classCount > 1)
                sprintf(label, "Klasse / Class %u: min-max, Median", classes[k]);
            else
                sprintf(label, "%ld CPUs: min-max, Median", static_cast<long>(processors));
            OwnedGdiObject fill(CreateSolidBrush(Lighter(colour)));
            RECT box = {x, y + textHeight / 4, x + swatch, y + textHeight * 3 / 4};
            FillRect(dc, &box, static_cast<HBRUSH>(static_cast<HGDIOBJ>(fill)));
            OwnedGdiObject pen(CreatePen(PS_SOLID, lineWidth, colour));
            SelectedObject selected(dc, pen);
            Line(dc, x, y + textHeight / 2, x + swatch, y + textHeight / 2);
        }
        x += swatch + gap / 2;
        TextAt(dc, x, y, label, TA_LEFT | TA_TOP);
        x += TextWidth(dc, label) + gap * 2;
    }
}

} // namespace

void DrawHistory(HDC dc, const RECT& area, const HistoryView& view)
{
    FillRect(dc, &area, GetSysColorBrush(COLOR_WINDOW));
    SelectedObject font(dc, view.font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, TextColour);
    TEXTMETRICA metrics;
    GetTextMetricsA(dc, &metrics);
    const int textHeight = metrics.tmHeight;
    const int pad = Scaled(8, view.dpi);
    const int lineWidth = Scaled(2, view.dpi) > 1 ? Scaled(2, view.dpi) * 3 / 4 + 1 : 1;

    if (view.emulatedOn != nullptr) {
        char text[256];
        _snprintf(text, sizeof text,
                  "Unter Emulation (x86 auf %s) l\xE4sst sich der Kerntakt nicht messen.\r\n"
                  "The core clock cannot be measured under emulation (x86 on %s).",
                  view.emulatedOn, view.emulatedOn);
        text[sizeof text - 1] = '\0';
        RECT box = {area.left + pad, area.top + pad, area.right - pad, area.bottom - pad};
        DrawTextA(dc, text, -1, &box, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
        return;
    }

    const HistoryRecord& record = *view.record;
    const LONG processors = record.processors();
    const LONG rows = record.rows();
    float* scratch = processors > 0 ? new (std::nothrow) float[processors] : nullptr;
    POINT* points = rows > 0 ? new (std::nothrow) POINT[4 * rows + 1] : nullptr;

    // The status line: the latest round's lowest, median and highest value.
    char status[128];
    HistorySpread latest;
    bool haveLatest = false;
    for (LONG row = rows - 1; row >= 0 && scratch != nullptr && !haveLatest; --row)
        haveLatest = SpreadOf(record.rowValues(row), view.classes, processors, -1, scratch, latest);
    if (haveLatest)
        FormatLatestLine(latest, status);
    else
        lstrcpyA(status, "Messe ... / Measuring ...");
    TextAt(dc, area.left + pad, area.top + pad, status, TA_LEFT | TA_TOP);

    BYTE classes[256];
    const LONG classCount = processors > 0 ? ListEfficiencyClasses(view.classes, processors, classes) : 0;
    DrawLegend(dc, area.left + pad, area.top + pad + textHeight + pad / 2, textHeight, lineWidth, view, classes,
               classCount);

    // The scale: every value on the plot and the reference line.
    double lowest = view.referenceMhz;
    double highest = view.referenceMhz;
    for (LONG row = 0; row < rows; ++row) {
        const float* values = record.rowValues(row);
        for (LONG k = 0; k < processors; ++k) {
            if (values[k] <= 0.0f)
                continue;
            if (lowest <= 0.0 || values[k] < lowest)
                lowest = values[k];
            if (values[k] > highest)
                highest = values[k];
        }
    }
    Plot plot;
    plot.scale = ChooseHistoryScale(lowest, highest);
    plot.axis = ChooseHistoryTimeAxis(view.elapsedMs);
    plot.elapsedMs = view.elapsedMs;
    char widest[32];
    FormatMhzLabel(plot.scale.high, widest);
    plot.area.left = area.left + pad + TextWidth(dc, widest) + Scaled(6, view.dpi);
    plot.area.top = area.top + pad + 2 * (textHeight + pad / 2) + pad;
    plot.area.right = area.right - pad;
    plot.area.bottom = area.bottom - pad - textHeight - Scaled(2, view.dpi);
    if (plot.area.right - plot.area.left < 2 || plot.area.bottom - plot.area.top < 2) {
        delete[] scratch;
        delete[] points;
        return;
    }

    const int saved = SaveDC(dc);
    DrawGrid(dc, plot, textHeight, view.dpi);
    // The values stay inside the plot, also where old rounds lie left of it.
    IntersectClipRect(dc, plot.area.left, plot.area.top - lineWidth, plot.area.right + 1,
                      plot.area.bottom + lineWidth);
    if (points != nullptr && scratch != nullptr) {
        const bool lines = DrawsLines(processors);
        const LONG series = lines ? processors : classCount;
        for (LONG k = 0; k < series; ++k) {
            const Series one = {lines ? k : 0, lines ? 1 : processors, lines || classCount == 1 ? -1 : classes[k],
                                !lines};
            DrawSeries(dc, plot, view, one, LineColours[k % HistoryLineLimit], lineWidth, points, scratch);
        }
    }
    DrawReference(dc, plot, view.referenceMhz, textHeight, view.dpi);
    RestoreDC(dc, saved);

    OwnedGdiObject frame(CreatePen(PS_SOLID, 1, FrameColour));
    SelectedObject framed(dc, frame);
    framed.select(GetStockObject(NULL_BRUSH));
    Rectangle(dc, plot.area.left, plot.area.top, plot.area.right + 1, plot.area.bottom + 1);
    delete[] scratch;
    delete[] points;
}
