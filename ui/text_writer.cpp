#include "ui/text_writer.h"

#include <string.h>

TextWriter::TextWriter(char* text, size_t room) : text_(text), room_(room), length_(0) {
    if (room_ > 0)
        text_[0] = '\0';
}

void TextWriter::append(const char* part, size_t size) {
    if (length_ + size < room_) {
        memcpy(text_ + length_, part, size);
        text_[length_ + size] = '\0';
    }
    length_ += size;
}

void TextWriter::append(const char* part) {
    append(part, strlen(part));
}

void TextWriter::appendNumber(LONG number) {
    char digits[16];
    int at = sizeof digits;
    unsigned long rest = number > 0 ? static_cast<unsigned long>(number) : 0;
    do {
        digits[--at] = static_cast<char>('0' + rest % 10);
        rest /= 10;
    } while (rest != 0);
    append(digits + at, sizeof digits - at);
}
