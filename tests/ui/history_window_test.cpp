// The history window opened from the main dialog inside this test process, measuring for
// real on every processor the system has.
#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>

#include <stdio.h>

#include <string>

#include "app/app_module.h"
#include "app/message_pump.h"
#include "dialog_test_support.h"
#include "support/bounded_wait.h"
#include "support/module_scope.h"
#include "res/resource_ids.h"
#include "ui/main_dialog.h"

namespace {

LONG threadsOfThisProcess() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry;
    entry.dwSize = sizeof entry;
    LONG threads = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID == GetCurrentProcessId())
            ++threads;
    }
    CloseHandle(snapshot);
    return threads;
}

ULONGLONG processCpu100ns() {
    FILETIME created, ended, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
    return (static_cast<ULONGLONG>(kernel.dwHighDateTime) << 32 | kernel.dwLowDateTime)
           + (static_cast<ULONGLONG>(user.dwHighDateTime) << 32 | user.dwLowDateTime);
}

// Processors with at least one value in the record.
LONG processorsMeasured(HistoryRecord& record) {
    record.lock();
    LONG measured = 0;
    for (LONG k = 0; k < record.processors(); ++k) {
        for (LONG row = 0; row < record.rows(); ++row) {
            if (record.rowValues(row)[k] > 0.0f) {
                ++measured;
                break;
            }
        }
    }
    record.unlock();
    return measured;
}

class HistoryWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(module.started());
        ASSERT_EQ(1, appModule.registerPump(&pump));
        window = dialog.createModeless(nullptr, 0);
        ASSERT_NE(nullptr, window);
    }
    void TearDown() override {
        if (IsWindow(window))
            DestroyWindow(window);
        drainMessages();
        appModule.unregisterPump();
    }
    ::testing::AssertionResult pumpUntil(const std::function<bool()>& done, const char* what, DWORD timeoutMs) {
        return ::pumpUntil(done, what, timeoutMs, [this](MSG* m) { return pump.filterAll(m); });
    }
    HWND history() { return dialog.historyWindow().window(); }

    ModuleScope module;
    MessagePump pump;
    MainDialog dialog;
    HWND window = nullptr;
};

TEST_F(HistoryWindowTest, MeasuresEveryProcessorLightlyAndLeavesNoThreadBehind) {
    const LONG threadsBefore = threadsOfThisProcess();
    SendMessageA(window, WM_COMMAND, IDC_HISTORY, 0);
    HWND opened = history();
    ASSERT_NE(nullptr, opened);
    EXPECT_EQ(window, GetWindow(opened, GW_OWNER));
    EXPECT_NE(0, GetWindowLongA(opened, GWL_STYLE) & WS_THICKFRAME) << "resizable";
    SendMessageA(window, WM_SYSCOMMAND, IDM_HISTORY, 0);
    EXPECT_EQ(opened, history()) << "the system menu's entry brings the same window forward";

    SYSTEM_INFO system;
    GetSystemInfo(&system);
    HistoryRecord& record = dialog.historyWindow().history();
    EXPECT_EQ(static_cast<LONG>(system.dwNumberOfProcessors), dialog.historyWindow().processors());
    ASSERT_TRUE(pumpUntil([&] { return processorsMeasured(record) == dialog.historyWindow().processors(); },
                          "a value from every processor", 20000));

    // Ctrl+C: a header naming the processor and each processor's column, then
    // a line per round.
    ShowWindow(opened, SW_SHOWNOACTIVATE);
    EXPECT_TRUE(pressCtrlC(pump, opened));
    const std::string copied = clipboardText(opened);
    ASSERT_NE(nullptr, dialog.shownResults().processor);
    std::string header = std::string(dialog.shownResults().processor) + ": Sekunden / Seconds";
    for (DWORD k = 1; k <= system.dwNumberOfProcessors; ++k)
        header += "\tCPU " + std::to_string(k) + " MHz";
    // First the clocks the plot draws: here at least the rated clock this machine records.
    const std::string clocks = copied.substr(0, copied.find('\n') + 1);
    EXPECT_NE(std::string::npos, clocks.find("Nenntakt / Rated ")) << clocks;
    EXPECT_EQ(header + "\r\n", copied.substr(clocks.size(), copied.find('\n', clocks.size()) + 1 - clocks.size()));
    record.lock();
    const LONG rounds = record.rows();
    record.unlock();
    LONG lines = 0;
    for (char c : copied)
        lines += c == '\n';
    EXPECT_LE(rounds + 2, lines) << "a line per round, and rounds go on";

    // The program's own load, the test process's here, over 10 s of the machine's capacity.
    const ULONGLONG cpuBefore = processCpu100ns();
    const DWORD start = GetTickCount();
    pumpUntil([&] { return GetTickCount() - start >= 10000; }, "10 s", 15000);
    const double share = static_cast<double>(processCpu100ns() - cpuBefore) / 1e4
                         / ((GetTickCount() - start) * static_cast<double>(system.dwNumberOfProcessors));
    EXPECT_LE(share, 0.02) << "CPU share of the machine while the history measures";
    printf("history: CPU share %.4f of %lu processors\n", share, system.dwNumberOfProcessors);
    record.lock();
    EXPECT_GE(record.rows(), 8) << "about a round a second";
    record.unlock();

    // Escape reaches the window through its filter and closes it.
    MSG escape = {};
    escape.hwnd = opened;
    escape.message = WM_KEYDOWN;
    escape.wParam = VK_ESCAPE;
    EXPECT_TRUE(pump.filterAll(&escape));
    drainMessages();
    EXPECT_FALSE(IsWindow(opened));
    EXPECT_EQ(nullptr, history());
    // The sampler is waited for as the window closes; the system may take a
    // moment longer to take a thread off its list.
    EXPECT_TRUE(pumpUntil([&] { return threadsOfThisProcess() == threadsBefore; },
                          "no thread of the history left", 5000))
        << threadsOfThisProcess() << " threads, " << threadsBefore << " before";
    EXPECT_TRUE(IsWindow(window)) << "the main dialog stays";
}

TEST_F(HistoryWindowTest, EscInTheMainDialogStillEndsTheProgramAndTheHistoryWithIt) {
    const LONG threadsBefore = threadsOfThisProcess();
    SendMessageA(window, WM_COMMAND, IDC_HISTORY, 0);
    HWND opened = history();
    ASSERT_NE(nullptr, opened);
    SendMessageA(window, WM_COMMAND, IDC_ESC, 0);
    EXPECT_FALSE(IsWindow(opened));
    EXPECT_EQ(threadsBefore, threadsOfThisProcess());
    EXPECT_EQ(2u, drainMessages()) << "the quit message with status 2";
}

TEST_F(HistoryWindowTest, OutsideTheNtFamilyMeasuresOneProcessorFromATimerOnTheDialogThread) {
    PlatformVersion.dwPlatformId = VER_PLATFORM_WIN32_WINDOWS;
    const LONG threadsBefore = threadsOfThisProcess();
    SendMessageA(window, WM_COMMAND, IDC_HISTORY, 0);
    ASSERT_NE(nullptr, history());
    EXPECT_EQ(1, dialog.historyWindow().processors());
    HistoryRecord& record = dialog.historyWindow().history();
    ASSERT_TRUE(pumpUntil([&] { return processorsMeasured(record) == 1; }, "a value", 10000));
    EXPECT_EQ(threadsBefore, threadsOfThisProcess()) << "no thread of its own";
    // The dialog keeps answering between measurements.
    DWORD_PTR answer = 0;
    EXPECT_NE(0, SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &answer));
    DestroyWindow(history());
}

// The value of a new kernel handle: the system hands out the lowest free one, so handles left
// open in between push it up.
ULONG_PTR nextHandleValue() {
    HANDLE probe = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    CloseHandle(probe);
    return reinterpret_cast<ULONG_PTR>(probe);
}

TEST_F(HistoryWindowTest, OpeningAndClosingAHundredTimesLeaksNothing) {
    // Once, so that whatever the first opening sets up for good is counted before.
    SendMessageA(window, WM_COMMAND, IDC_HISTORY, 0);
    DestroyWindow(history());
    const ULONG_PTR handleBefore = nextHandleValue();
    const DWORD gdiBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    for (int round = 0; round < 100; ++round) {
        SendMessageA(window, WM_COMMAND, IDC_HISTORY, 0);
        ASSERT_NE(nullptr, history()) << "round " << round;
        UpdateWindow(history());
        DestroyWindow(history());
    }
    // Two handles a round (the thread and its stop event) would have moved it by hundreds.
    EXPECT_LE(nextHandleValue(), handleBefore + 16 * sizeof(HANDLE));
    // Counted on Windows; Wine reports no GDI objects at all.
    EXPECT_LE(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), gdiBefore + 2);
}

}  // namespace
