#include "bounded_wait.h"

namespace {

const DWORD PollMs = 5;
const DWORD PumpIdleMs = 20;

::testing::AssertionResult gaveUp(const char* what, DWORD timeoutMs)
{
    return ::testing::AssertionFailure() << "gave up after " << timeoutMs
                                         << " ms waiting for " << what;
}

}  // namespace

::testing::AssertionResult waitUntil(const std::function<bool()>& done, const char* what,
                                     DWORD timeoutMs)
{
    const ULONGLONG start = GetTickCount64();
    while (!done()) {
        if (GetTickCount64() - start > timeoutMs)
            return done() ? ::testing::AssertionSuccess() : gaveUp(what, timeoutMs);
        Sleep(PollMs);
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult pumpUntil(const std::function<bool()>& done, const char* what,
                                     DWORD timeoutMs, const std::function<BOOL(MSG*)>& filter)
{
    const ULONGLONG start = GetTickCount64();
    while (!done()) {
        const ULONGLONG elapsed = GetTickCount64() - start;
        if (elapsed > timeoutMs)
            return done() ? ::testing::AssertionSuccess() : gaveUp(what, timeoutMs);
        MSG message;
        if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            // Until a message arrives; done() may also change on another
            // thread without a message, so it is asked again now and then.
            MsgWaitForMultipleObjects(0, nullptr, FALSE, PumpIdleMs, QS_ALLINPUT);
            continue;
        }
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            if (done())
                return ::testing::AssertionSuccess();
            return ::testing::AssertionFailure()
                   << "the thread's quit message came while waiting for " << what;
        }
        if (filter && filter(&message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return ::testing::AssertionSuccess();
}
