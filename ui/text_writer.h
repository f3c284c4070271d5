#pragma once
#include <windows.h>

// Appends text while there is room and counts every byte either way, so
// that one pass without room measures what a second pass writes. The text
// always ends with a zero where there is room for one.
class TextWriter {
public:
    TextWriter(char* text, size_t room);

    void append(const char* part, size_t size);
    void append(const char* part);
    // A number of zero or more in decimal; a negative one as 0.
    void appendNumber(LONG number);

    size_t length() const { return length_; }

private:
    char* text_;
    size_t room_;
    size_t length_;
};
