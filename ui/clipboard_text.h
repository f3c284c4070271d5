#pragma once
#include <windows.h>
#include <string.h>

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

// Writes a text of at most room bytes, with its terminating zero, and returns its length
// without that zero, as snprintf does, also when it did not fit.
typedef size_t (*ClipboardWriter)(const void* source, char* text, size_t room);

// Puts the text write makes of source on the clipboard as CF_TEXT, which the system turns into
// its other text formats, owned by the given window. Returns whether it did; an empty text is
// not put there, and the clipboard stays as it was.
bool PutTextOnClipboard(HWND owner, ClipboardWriter write, const void* source);
