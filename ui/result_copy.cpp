#include "ui/result_copy.h"

#include <string.h>

#include "ui/clipboard_text.h"
#include "ui/processor_rows.h"
#include "ui/result_display.h"
#include "ui/text_writer.h"

namespace {

// The value that starts at *row, up to the next tab or line end; *row moves
// past its separator. Empty at the end of the row.
size_t nextValue(const char*& row, const char*& value) {
    value = row;
    while (*row != '\0' && *row != '\t' && *row != '\r' && *row != '\n')
        ++row;
    const size_t size = row - value;
    if (row[0] == '\r' && row[1] == '\n')
        row += 2;
    else if (*row != '\0')
        ++row;
    return size;
}

// The length of a value's figure: the mark of its kind of core, where it has
// one, follows a blank.
size_t figureSize(const char* value, size_t size) {
    size_t figure = 0;
    while (figure < size && value[figure] != ' ')
        ++figure;
    return figure;
}

// The number of values in a row's text.
LONG valuesIn(const char* row) {
    if (*row == '\0')
        return 0;
    LONG count = 1;
    for (; *row != '\0'; ++row) {
        if (*row == '\t' || *row == '\n')
            ++count;
    }
    return count;
}

}  // namespace

size_t FormatResultCopy(const ShownResults& results, const char* caption, const char* rates, const char* cores,
                        char* text, size_t room) {
    TextWriter out(text, room);
    const LONG processors = results.kind == ShownResults::PerProcessor ? valuesIn(rates) : 1;
    if (results.kind == ShownResults::Nothing || processors == 0)
        return 0;
    out.append(caption);
    out.append(": ");
    out.appendNumber(processors);
    out.append(processors == 1 ? " processor, " : " processors, ");
    out.appendNumber(results.windowMs);
    out.append(" ms x ");
    out.appendNumber(results.repetitions);
    if (results.kind == ShownResults::PerProcessor)
        out.append(results.oneByOne ? ", one by one" : ", all at once");
    out.append("\r\n");
    // The processor's name, what emulation leaves of the figures, the rated
    // clocks, the verdict and the caps: a line each, where there is one.
    char note[256] = "";
    if (results.emulatedOn != nullptr)
        FormatEmulationNote(results.emulatedOn, "\r\n", note, sizeof note);
    const char* const lines[] = {results.processor, note, results.rated, results.verdict, results.caps};
    for (const char* line : lines) {
        if (line != nullptr && line[0] != '\0') {
            out.append(line);
            out.append("\r\n");
        }
    }
    for (LONG k = 1; k <= processors; ++k) {
        if (results.kind == ShownResults::PerProcessor) {
            out.appendNumber(k);
            out.append("\t");
        }
        const char* rate;
        const size_t rateSize = nextValue(rates, rate);
        const size_t figure = figureSize(rate, rateSize);
        out.append(rate, figure);
        const char* core;
        size_t coreSize = nextValue(cores, core);
        // The mark of a fastest core goes after the kind of core, so that the
        // core clock itself pastes as a number.
        const bool fastest = coreSize > 0 && core[0] == FastestMark[0];
        if (fastest) {
            ++core;
            --coreSize;
        }
        if (results.emulatedOn == nullptr) {
            out.append("\t");
            out.append(core, figureSize(core, coreSize));
        }
        if (figure + 1 < rateSize) {
            out.append("\t");
            out.append(rate + figure + 1, rateSize - figure - 1);
        }
        if (fastest) {
            out.append("\t");
            out.append(FastestMark);
        }
        out.append("\r\n");
    }
    return out.length();
}

namespace {

struct ResultSource {
    const ShownResults* results;
    const char* caption;
    const char* rates;
    const char* cores;
};

size_t WriteResults(const void* source, char* text, size_t room) {
    const ResultSource* s = static_cast<const ResultSource*>(source);
    return FormatResultCopy(*s->results, s->caption, s->rates, s->cores, text, room);
}

}  // namespace

bool CopyResults(HWND owner, const ShownResults& results, const char* caption, const char* rates,
                 const char* cores) {
    const ResultSource source = {&results, caption, rates, cores};
    return PutTextOnClipboard(owner, WriteResults, &source);
}
