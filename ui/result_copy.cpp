#include "ui/result_copy.h"

#include <string.h>

#include "ui/processor_rows.h"

namespace {

// Appends text while there is room and counts every byte either way.
class TextWriter {
public:
    TextWriter(char* text, size_t room) : text_(text), room_(room), length_(0) {
        if (room_ > 0)
            text_[0] = '\0';
    }

    void append(const char* part, size_t size) {
        if (length_ + size < room_) {
            memcpy(text_ + length_, part, size);
            text_[length_ + size] = '\0';
        }
        length_ += size;
    }
    void append(const char* part) { append(part, strlen(part)); }
    void appendNumber(LONG number) {
        char digits[16];
        int at = sizeof digits;
        unsigned long rest = number > 0 ? static_cast<unsigned long>(number) : 0;
        do {
            digits[--at] = static_cast<char>('0' + rest % 10);
            rest /= 10;
        } while (rest != 0);
        append(digits + at, sizeof digits - at);
    }

    size_t length() const { return length_; }

private:
    char* text_;
    size_t room_;
    size_t length_;
};

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
    if (results.processor != nullptr && results.processor[0] != '\0') {
        out.append(results.processor);
        out.append("\r\n");
    }
    if (results.emulatedOn != nullptr) {
        char note[256];
        FormatEmulationNote(results.emulatedOn, "\r\n", note, sizeof note);
        out.append(note);
        out.append("\r\n");
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
        const size_t coreSize = nextValue(cores, core);
        if (results.emulatedOn == nullptr) {
            out.append("\t");
            out.append(core, figureSize(core, coreSize));
        }
        if (figure + 1 < rateSize) {
            out.append("\t");
            out.append(rate + figure + 1, rateSize - figure - 1);
        }
        out.append("\r\n");
    }
    return out.length();
}

bool CopyResults(HWND owner, const ShownResults& results, const char* caption, const char* rates,
                 const char* cores) {
    const size_t length = FormatResultCopy(results, caption, rates, cores, nullptr, 0);
    if (length == 0)
        return false;
    // Once on the clipboard the memory is the system's; until then it is ours.
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, length + 1);
    if (memory == nullptr)
        return false;
    char* text = static_cast<char*>(GlobalLock(memory));
    if (text == nullptr) {
        GlobalFree(memory);
        return false;
    }
    FormatResultCopy(results, caption, rates, cores, text, length + 1);
    GlobalUnlock(memory);
    if (!OpenClipboard(owner)) {
        GlobalFree(memory);
        return false;
    }
    EmptyClipboard();
    const bool placed = SetClipboardData(CF_TEXT, memory) != nullptr;
    CloseClipboard();
    if (!placed)
        GlobalFree(memory);
    return placed;
}
