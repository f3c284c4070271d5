#pragma once

// GoogleTest's own port header includes this one before it declares its threading helpers.
// The win32 thread model's standard library has no std::mutex or std::condition_variable,
// from which GoogleTest builds the one-shot signal its thread helper waits on; this gives it
// the same signal as a manual-reset Win32 event. Its locks and thread-local values already
// use Win32 directly.

#include <windows.h>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

class Notification {
public:
    Notification() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~Notification() { CloseHandle(event_); }
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { SetEvent(event_); }
    void WaitForNotification() { WaitForSingleObject(event_, INFINITE); }

private:
    HANDLE event_;
};

} // namespace internal
} // namespace testing
