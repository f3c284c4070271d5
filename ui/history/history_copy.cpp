#include "ui/history/history_copy.h"

#include <stdio.h>

#include "ui/clipboard_text.h"
#include "ui/text_writer.h"

size_t FormatHistoryCopy(const HistoryRecord& record, const char* processorName, const char* clocks, char* text,
                         size_t room) {
    TextWriter out(text, room);
    if (record.rows() == 0)
        return 0;
    if (clocks[0] != '\0') {
        out.append(clocks);
        out.append("\r\n");
    }
    if (processorName != nullptr && processorName[0] != '\0') {
        out.append(processorName);
        out.append(": ");
    }
    out.append("Sekunden / Seconds");
    for (LONG k = 1; k <= record.processors(); ++k) {
        out.append("\tCPU ");
        out.appendNumber(k);
        out.append(" MHz");
    }
    out.append("\r\n");
    char number[32];
    for (LONG row = 0; row < record.rows(); ++row) {
        sprintf(number, "%.1f", record.rowTime(row) / 1000.0);
        out.append(number);
        const float* values = record.rowValues(row);
        for (LONG k = 0; k < record.processors(); ++k) {
            out.append("\t");
            if (values[k] > 0.0f) {
                sprintf(number, "%.1f", values[k]);
                out.append(number);
            }
        }
        out.append("\r\n");
    }
    return out.length();
}

namespace {

struct HistorySource {
    const HistoryRecord* record;
    const char* processorName;
    const char* clocks;
};

size_t WriteHistory(const void* source, char* text, size_t room) {
    const HistorySource* s = static_cast<const HistorySource*>(source);
    return FormatHistoryCopy(*s->record, s->processorName, s->clocks, text, room);
}

}  // namespace

bool CopyHistory(HWND owner, HistoryRecord& record, const char* processorName, const char* clocks) {
    const HistorySource source = {&record, processorName, clocks};
    // Held across both passes, so that the length measured is the length written, but not
    // while the clipboard waits for its previous owner: the sampler stores under it.
    record.lock();
    HGLOBAL text = ClipboardTextOf(WriteHistory, &source);
    record.unlock();
    return PutOnClipboard(owner, text);
}
