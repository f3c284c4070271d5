// The cost of one message through a bound dialog and a bound window, against
// a plain procedure that does the same work and stores its result the same
// way. Both run in the same process, in alternating chunks; the best chunk of
// each counts. Prints one line per kind, with the messages sent to each:
//   dispatch kind=<dialog|window> messages=<n> ratio=<bound/plain>
// Arguments: the number of messages to each window (default 50000), "direct"
// to call the installed dialog or window procedure straight away instead of
// sending through the platform, which shows the binding's own share alone.
// A third argument, "dialog" or "window", measures that kind only.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/app_module.h"
#include "app/window_binding.h"

namespace {

const UINT BenchMessage = WM_USER + 7;
// Messages per chunk: long enough for the performance counter's resolution,
// short enough to fit between interruptions. A direct call costs far less
// than a sent message.
int chunk = 500;

// Calls the procedure the platform would call for window: the dialog
// procedure of a dialog, the window procedure of any other window.
bool direct = false;

// The work every variant does per message.
LRESULT counted = 0;

inline LRESULT work(WPARAM wParam)
{
    counted += static_cast<LRESULT>(wParam);
    return counted;
}

// A hidden pop-up dialog with no controls.
std::vector<WORD> dialogTemplate()
{
    const DWORD style = WS_POPUP | WS_CAPTION;
    return {LOWORD(style), HIWORD(style), 0, 0, 0, 0, 0, 100, 50, 0, 0, 0};
}

class BenchDialog : public DialogBinding {
public:
    explicit BenchDialog(const DLGTEMPLATE* memoryTemplate) : DialogBinding(memoryTemplate) {}

    BOOL handleMessage(HWND, UINT message, WPARAM wParam, LPARAM, LRESULT& result,
                       DWORD tableId) override
    {
        if (tableId != 0 || message != BenchMessage)
            return 0;
        result = work(wParam);
        return 1;
    }
};

INT_PTR CALLBACK plainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM)
{
    if (message != BenchMessage)
        return FALSE;
    SetWindowLongPtrA(window, DWLP_MSGRESULT, work(wParam));
    return TRUE;
}

class BenchWindow : public SubclassBinding {
public:
    BOOL handleMessage(HWND, UINT message, WPARAM wParam, LPARAM, LRESULT& result,
                       DWORD tableId) override
    {
        if (tableId != 0 || message != BenchMessage)
            return 0;
        result = work(wParam);
        return 1;
    }
};

WNDPROC plainPrevious = DefWindowProcA;

LRESULT CALLBACK plainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == BenchMessage)
        return work(wParam);
    return CallWindowProcA(plainPrevious, window, message, wParam, lParam);
}

HWND createTarget()
{
    return CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

double secondsFor(HWND window, int messages)
{
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!direct) {
        for (int n = 0; n < messages; ++n)
            SendMessageA(window, BenchMessage, 1, 0);
    } else if (GetWindowLongPtrA(window, DWLP_DLGPROC) != 0) {
        DLGPROC procedure = reinterpret_cast<DLGPROC>(GetWindowLongPtrA(window, DWLP_DLGPROC));
        for (int n = 0; n < messages; ++n)
            procedure(window, BenchMessage, 1, 0);
    } else {
        WNDPROC procedure = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
        for (int n = 0; n < messages; ++n)
            procedure(window, BenchMessage, 1, 0);
    }
    QueryPerformanceCounter(&end);
    return static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The messages go in short alternating chunks, bound then plain then bound,
// and the fastest chunk of each counts: on a loaded machine the fastest
// chunks are the ones nothing else interrupted.
double ratio(HWND bound, HWND plain, int messages)
{
    secondsFor(bound, chunk);  // warm up both paths
    secondsFor(plain, chunk);
    double bestBound = 1e300;
    double bestPlain = 1e300;
    for (int sent = 0; sent < messages; sent += chunk) {
        const bool boundFirst = (sent / chunk) % 2 == 0;
        const double first = secondsFor(boundFirst ? bound : plain, chunk);
        const double second = secondsFor(boundFirst ? plain : bound, chunk);
        const double b = boundFirst ? first : second;
        const double p = boundFirst ? second : first;
        if (b < bestBound)
            bestBound = b;
        if (p < bestPlain)
            bestPlain = p;
    }
    return bestBound / bestPlain;
}

// Each returns false when its windows cannot be made.
bool benchDialogs(int messages)
{
    const std::vector<WORD> words = dialogTemplate();
    const DLGTEMPLATE* shape = reinterpret_cast<const DLGTEMPLATE*>(words.data());
    BenchDialog boundDialog(shape);
    HWND bound = boundDialog.createModeless(nullptr, 0);
    HWND plain = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), shape, nullptr, plainDialogProc, 0);
    const bool made = bound != nullptr && plain != nullptr;
    if (made)
        std::printf("dispatch kind=dialog messages=%d ratio=%.3f\n", messages, ratio(bound, plain, messages));
    if (bound != nullptr)
        DestroyWindow(bound);
    if (plain != nullptr)
        DestroyWindow(plain);
    return made;
}

bool benchWindows(int messages)
{
    BenchWindow binding;
    HWND bound = createTarget();
    HWND plain = createTarget();
    const bool made = bound != nullptr && plain != nullptr && binding.attachToWindow(bound);
    if (made) {
        plainPrevious = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(plain, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(plainWindowProc)));
        std::printf("dispatch kind=window messages=%d ratio=%.3f\n", messages, ratio(bound, plain, messages));
    }
    if (bound != nullptr)
        DestroyWindow(bound);
    if (plain != nullptr)
        DestroyWindow(plain);
    return made;
}

}  // namespace

int main(int argc, char** argv)
{
    const int messages = argc > 1 ? std::atoi(argv[1]) : 50000;
    direct = argc > 2 && std::strcmp(argv[2], "direct") == 0;
    if (direct)
        chunk = 50000;
    const char* only = argc > 3 ? argv[3] : "";
    if (messages <= 0 || appModule.startUp(GetModuleHandleA(nullptr)) != 0)
        return 1;
    bool made = true;
    if (std::strcmp(only, "window") != 0)
        made = benchDialogs(messages) && made;
    if (std::strcmp(only, "dialog") != 0)
        made = benchWindows(messages) && made;
    appModule.shutDown();
    return made ? 0 : 1;
}
