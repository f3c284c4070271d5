#pragma once
#include <windows.h>

// A zero-filled heap buffer one byte longer than its recorded size, so that a
// stored text without a terminating zero still reads as a terminated string.
// data() is null when the memory could not be had. Non-copyable.
class ValueBuffer {
public:
    explicit ValueBuffer(DWORD size);
    ~ValueBuffer();
    ValueBuffer(const ValueBuffer&) = delete;
    ValueBuffer& operator=(const ValueBuffer&) = delete;

    char* data() const { return data_; }
    DWORD size() const { return size_; }

private:
    char* data_ = nullptr;
    DWORD size_ = 0;
};
