#include "ui/result_display.h"

#include <stdio.h>
#include <string.h>

#include "ui/class_marks.h"

namespace {

LONG shownCount(const ResultTable& table) {
    LONG count = table.count();
    return count < ResultTable::LastProcessor ? count : ResultTable::LastProcessor;
}

void formatRow(const ResultTable& table, double (ResultTable::*valueOf)(int) const, const char* format,
               const ProcessorClasses* classes, char (&text)[ResultDisplaySize]) {
    size_t length = 0;
    text[0] = '\0';
    for (LONG k = 1; k <= shownCount(table); ++k) {
        char value[ResultValueSize];
        char mark[ClassMarkSize] = "";
        if (classes != nullptr)
            FormatClassMark(classes->rankOf(k), classes->kinds(), mark);
        snprintf(value, sizeof value, format, (table.*valueOf)(k), mark[0] != '\0' ? " " : "", mark);
        const char* separator = "";
        if (k < shownCount(table))
            separator = k % 4 == 0 ? "\r\n" : "\t";
        // The buffer holds LastProcessor values of ResultValueSize - 1
        // characters with their separators, so both always fit.
        int written = snprintf(text + length, sizeof text - length, "%s%s", value, separator);
        if (written < 0 || static_cast<size_t>(written) >= sizeof text - length)
            break;
        length += written;
    }
}

}  // namespace

void FormatResultTable(const ResultTable& table, char (&text)[ResultDisplaySize],
                       const ProcessorClasses* classes) {
    formatRow(table, &ResultTable::value, "%.4f%s%s", classes, text);
}

void FormatCoreClockTable(const ResultTable& table, char (&text)[ResultDisplaySize],
                          const ProcessorClasses* classes) {
    formatRow(table, &ResultTable::coreClock, "%.1f%s%s", classes, text);
}
