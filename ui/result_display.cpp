#include "ui/result_display.h"

#include <stdio.h>
#include <string.h>

#include "app/format_text.h"
#include "ui/class_marks.h"

namespace {

LONG shownCount(const ResultTable& table) {
    LONG count = table.count();
    return count < ResultTable::LastProcessor ? count : ResultTable::LastProcessor;
}

// The lowest and highest core clocks measured, for the marks of the fastest.
struct CoreRange {
    double lowest;
    double highest;
};

CoreRange coreRange(const ResultTable& table) {
    CoreRange range = {0.0, 0.0};
    for (LONG k = 1; k <= shownCount(table); ++k) {
        const double mhz = table.coreClock(k);
        if (mhz <= 0.0)
            continue;
        if (range.lowest == 0.0 || mhz < range.lowest)
            range.lowest = mhz;
        if (mhz > range.highest)
            range.highest = mhz;
    }
    return range;
}

bool isFastest(double mhz, const CoreRange& range) {
    return mhz > 0.0 && mhz >= range.highest * 0.995 && mhz > range.lowest * 1.01;
}

// Formats the row; with marks, marks the fastest values and returns whether it marked any.
bool formatRow(const ResultTable& table, double (ResultTable::*valueOf)(int) const, const char* format,
               const ProcessorClasses* classes, char (&text)[ResultDisplaySize], const CoreRange* marks = nullptr) {
    size_t length = 0;
    bool marked = false;
    text[0] = '\0';
    for (LONG k = 1; k <= shownCount(table); ++k) {
        const double mhz = (table.*valueOf)(k);
        const bool fastest = marks != nullptr && isFastest(mhz, *marks);
        marked = marked || fastest;
        char value[ResultValueSize];
        char mark[ClassMarkSize] = "";
        if (classes != nullptr)
            FormatClassMark(classes->rankOf(k), classes->kinds(), mark);
        FormatText(value, sizeof value, format, mhz, mark[0] != '\0' ? " " : "", mark);
        const char* separator = "";
        if (k < shownCount(table))
            separator = k % 4 == 0 ? "\r\n" : "\t";
        // The buffer holds LastProcessor values of ResultValueSize - 1
        // characters with their separators; a mark takes one more, so only a
        // table of values far longer than any measured could end early, at a
        // whole value.
        int written = FormatText(text + length, sizeof text - length, "%s%s%s", fastest ? FastestMark : "", value,
                                 separator);
        if (written < 0 || static_cast<size_t>(written) >= sizeof text - length)
            break;
        length += written;
    }
    return marked;
}

}  // namespace

void FormatResultTable(const ResultTable& table, char (&text)[ResultDisplaySize],
                       const ProcessorClasses* classes) {
    formatRow(table, &ResultTable::value, "%.4f%s%s", classes, text);
}

bool FormatCoreClockTable(const ResultTable& table, char (&text)[ResultDisplaySize], const ProcessorClasses* classes,
                          bool markFastest) {
    const CoreRange range = coreRange(table);
    return formatRow(table, &ResultTable::coreClock, "%.1f%s%s", classes, text, markFastest ? &range : nullptr);
}
