#include "ui/result_copy.h"

#include "ui/clipboard_text.h"

#include <string.h>

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
    out.append("\r\n");
    for (LONG k = 1; k <= processors; ++k) {
        if (results.kind == ShownResults::PerProcessor) {
            out.appendNumber(k);
            out.append("\t");
        }
        const char* value;
        size_t size = nextValue(rates, value);
        out.append(value, size);
        out.append("\t");
        size = nextValue(cores, value);
        out.append(value, size);
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
