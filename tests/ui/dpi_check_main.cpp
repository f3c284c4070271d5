// Opens the real main dialog in a process that declares itself DPI-aware as the program does,
// and reports how the dialog is laid out at the DPI that this process started with:
//   zyk_dpi_check <report file> <processors>...
// The dialog is looked at before any test, then after a test on each number of logical
// processors in turn (the measuring code sees that many; the workers measure on the
// processors the machine has). Then two more dialogs are looked at after a test on 16
// processors: one opened where the processors have two kinds of cores, one where the x86 code
// is emulated (QEMU without acceleration, the longest emulator's name). The report starts with a line "dpi: <dpi> awareness: <n>"
// (n as the platform numbers DPI awareness: 0 unaware, 1 the system's, 2 each screen's), then
// has a line "state: <what>" for each look and one "fault: <sentence>" for each fault found.
// Exit status 0 without faults, 1 with faults, 2 when the dialog could not be shown or tested.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "app/app_module.h"
#include "app/dpi_awareness.h"
#include "app/message_pump.h"
#include "dialog_layout.h"
#include "support/bounded_wait.h"
#include "support/fake_processors.h"
#include "support/module_scope.h"
#include "support/platform_guard.h"
#include "ui/main_dialog.h"

namespace {

const int TestButton = 1;

// The calling thread's DPI awareness, -1 where the system cannot tell (before Windows 10).
int threadAwareness() {
    typedef HANDLE(WINAPI * GetContext)();
    typedef int(WINAPI * AwarenessOf)(HANDLE);
    HMODULE user = GetModuleHandleA("user32.dll");
    GetContext context = reinterpret_cast<GetContext>(
        reinterpret_cast<void*>(GetProcAddress(user, "GetThreadDpiAwarenessContext")));
    AwarenessOf awareness = reinterpret_cast<AwarenessOf>(
        reinterpret_cast<void*>(GetProcAddress(user, "GetAwarenessFromDpiAwarenessContext")));
    return context != nullptr && awareness != nullptr ? awareness(context()) : -1;
}

int dpiOf(HWND window) {
    HDC dc = GetDC(window);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(window, dc);
    return dpi;
}

// The link's hand cursor is as large as the system's cursors at this DPI.
std::vector<std::string> cursorFaults(HCURSOR cursor) {
    std::vector<std::string> faults;
    ICONINFO info = {};
    BITMAP mask = {};
    if (cursor == nullptr || !GetIconInfo(cursor, &info) ||
        GetObjectA(info.hbmMask, sizeof mask, &mask) == 0) {
        faults.push_back("the link has no hand cursor");
    } else if (mask.bmWidth != GetSystemMetrics(SM_CXCURSOR) ||
               mask.bmHeight != 2 * GetSystemMetrics(SM_CYCURSOR)) {
        char text[160];
        snprintf(text, sizeof text, "the hand cursor is %ld x %ld, the system's cursors %d x %d",
                 mask.bmWidth, mask.bmHeight / 2, GetSystemMetrics(SM_CXCURSOR),
                 GetSystemMetrics(SM_CYCURSOR));
        faults.push_back(text);
    }
    if (info.hbmMask != nullptr)
        DeleteObject(info.hbmMask);
    if (info.hbmColor != nullptr)
        DeleteObject(info.hbmColor);
    return faults;
}

// CPUID as QEMU without acceleration answers the leaves that name a hypervisor.
bool EmulatorCpuid(unsigned number, CpuidLeaf* leaf) {
    *leaf = CpuidLeaf{0, 0, 0, 0};
    if (number == 0)
        leaf->eax = 1;
    else if (number == 1)
        leaf->ecx = 1u << 31;
    else if (number == 0x40000000u)
        memcpy(&leaf->ebx, "TCGTCGTCGTCG", 12);
    return true;
}

class Report {
public:
    explicit Report(const char* path) : file_(fopen(path, "w")) {}
    ~Report() {
        if (file_ != nullptr)
            fclose(file_);
    }
    Report(const Report&) = delete;
    Report& operator=(const Report&) = delete;

    bool open() const { return file_ != nullptr; }
    void line(const std::string& text) {
        fprintf(file_, "%s\n", text.c_str());
        fflush(file_);
    }
    // Writes the state and its faults; true when there were none.
    bool look(const std::string& state, const std::vector<std::string>& faults) {
        line("state: " + state);
        for (const std::string& fault : faults)
            line("fault: " + fault);
        return faults.empty();
    }

private:
    FILE* file_;
};

int check(const char* reportPath, const std::vector<DWORD>& processorCounts) {
    // First, as the program does it.
    DeclareDpiAwareness();
    Report report(reportPath);
    if (!report.open()) {
        fprintf(stderr, "cannot write %s\n", reportPath);
        return 2;
    }
    ModuleScope module;
    if (!module.started()) {
        report.line("error: the application module did not start");
        return 2;
    }
    MessagePump pump;
    appModule.registerPump(&pump);
    // The pump keeps every dialog opened here among its filters until it ends.
    MainDialog dialog;
    MainDialog kinds;
    MainDialog emulated;
    HWND window = dialog.createModeless(nullptr, 0);
    if (window == nullptr) {
        report.line("error: the dialog did not open");
        return 2;
    }
    ShowWindow(window, SW_SHOWNORMAL);
    auto filter = [&](MSG* message) { return pump.filterAll(message); };

    char text[80];
    snprintf(text, sizeof text, "dpi: %d awareness: %d", dpiOf(window), threadAwareness());
    report.line(text);

    // The first display empties the field.
    pumpUntil([] { return false; }, "the first display", 300, filter);
    std::vector<std::string> faults = LayoutFaults(window);
    const std::vector<std::string> cursor = cursorFaults(dialog.link().handCursor());
    faults.insert(faults.end(), cursor.begin(), cursor.end());
    bool clean = report.look("before any test", faults);

    auto testAndLook = [&](HWND dialogWindow, DWORD count, const std::string& state) {
        {
            FakeProcessors machine(count);
            SendMessageA(dialogWindow, WM_COMMAND, TestButton, 0);
            HWND button = GetDlgItem(dialogWindow, TestButton);
            if (!pumpUntil([&] { return IsWindowEnabled(button) != FALSE; }, "the result", 60000, filter)) {
                report.line("error: no result after a test on " + std::to_string(count) + " processors");
                return false;
            }
        }
        // Room for a display of a worker that ended late, and for the paint.
        pumpUntil([] { return false; }, "the last display", 1000, filter);
        return report.look(state, LayoutFaults(dialogWindow));
    };
    for (DWORD count : processorCounts)
        clean = testAndLook(window, count, "after a test on " + std::to_string(count) + " processors") && clean;
    DestroyWindow(window);

    const DWORD Variant = 16;
    {
        FakeProcessors machine(Variant);
        FakeCoreClasses hybrid([](LONG k) { return static_cast<BYTE>(k <= 8 ? 1 : 0); });
        HWND other = kinds.createModeless(nullptr, 0);
        ShowWindow(other, SW_SHOWNORMAL);
        clean = testAndLook(other, Variant, "two kinds of cores, after a test on 16 processors") && clean;
        DestroyWindow(other);
    }
    {
        MeasurePlatformGuard platform;
        processorPlatform().ReadCpuidLeaf = EmulatorCpuid;
        HWND other = emulated.createModeless(nullptr, 0);
        ShowWindow(other, SW_SHOWNORMAL);
        clean = testAndLook(other, Variant, "emulated, after a test on 16 processors") && clean;
        DestroyWindow(other);
    }
    appModule.unregisterPump();
    return clean ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<DWORD> counts;
    for (int i = 2; i < argc; ++i) {
        if (atoi(argv[i]) <= 0) {
            argc = 0;
            break;
        }
        counts.push_back(static_cast<DWORD>(atoi(argv[i])));
    }
    if (argc < 2) {
        fprintf(stderr, "usage: zyk_dpi_check <report file> <processors>...\n");
        return 2;
    }
    return check(argv[1], counts);
}
